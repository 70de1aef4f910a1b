// The send pipeline: repeat bursts, attempts, reply matching, request lists, stop, teardown
// and the hand-over of the port to a firmware upload.
#include <QPointer>
#include "test_dongle_fixture.h"

#include <QScopeGuard>

#include "protocol/XModem.h"

using namespace dongletest;

namespace {

SCPDescriptor localDescriptor(uchar command, uchar lsb = 0, uchar msb = 0)
{
    return SCPDescriptor(0, 0, 0, PacketID::DCP, scpPayload(command, lsb, msb), DataPredicate::commandEcho(command),
                         Dongle::LocalTimeoutMs, PacketPredicate::AnyFlags);
}

} // namespace

class DonglePipelineTest : public DongleTest {
protected:
    void SetUp() override
    {
        DongleTest::SetUp();
        ASSERT_EQ(startDongle(), 0);
    }
    void send(uchar command, Replies& replies)
    {
        dongle->sendPacket(localHeader(), scpPayload(command), DataPredicate::commandEcho(command),
                           Dongle::LocalTimeoutMs, replies.callback());
    }
};

TEST_F(DonglePipelineTest, AReplyToTheThirdCopyEndsTheBurst)
{
    LogCapture log;
    emulator->addFault(emu::FaultRule::answerOnlyCopy(emu::FrameFilter::dcp(9), 3));
    const int mark = emulator->mark();
    Replies replies;
    send(9, replies);
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 3000));
    EXPECT_EQ(replies.codes, QList<int> { 0 });
    EXPECT_EQ(replies.payloads.first().left(1), QByteArray("\x09", 1));
    EXPECT_TRUE(emulator->waitForQuiet(testutil::scaled(150), testutil::scaled(2000)));
    int copies = 0;
    for (emu::Received const& r : emulator->received())
        copies += (r.seq >= mark && r.frame.cmd() == 9) ? 1 : 0;
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(replies.calls, 1);
    EXPECT_EQ(log.count(QStringLiteral("<Send> Result: 1")), 1);
}

TEST_F(DonglePipelineTest, AnUnansweredRequestMakesThreeAttemptsOf21Writes)
{
    fastTiming(0.15, 4); // 150 ms per attempt, 21 writes in about 84 ms
    LogCapture log;
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(9)));
    const int mark = emulator->mark();
    Replies replies;
    send(9, replies);
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 3000));
    EXPECT_EQ(replies.codes, QList<int> { 4 });
    EXPECT_EQ(replies.payloads, QList<QByteArray> { QByteArray() });
    EXPECT_TRUE(emulator->waitForQuiet(testutil::scaled(100), testutil::scaled(2000)));
    int copies = 0;
    for (emu::Received const& r : emulator->received())
        copies += (r.seq >= mark && r.frame.cmd() == 9) ? 1 : 0;
    EXPECT_EQ(copies, 63);
    EXPECT_EQ(replies.calls, 1);
    EXPECT_EQ(log.count(QStringLiteral("<Send> Retry [1]")), 1);
    EXPECT_EQ(log.count(QStringLiteral("<Send> Retry [2]")), 1);
    EXPECT_EQ(log.count(QStringLiteral("<Send> Retry [3]")), 1);
    EXPECT_EQ(log.count(QStringLiteral("<Send> Retry [4]")), 0);
}

TEST_F(DonglePipelineTest, ALateReplyChangesNothingAndTheNextRequestKeepsItsWait)
{
    fastTiming(0.1, 4);
    // Request A (command 1) is answered only after its three attempts have failed.
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(1)));
    Replies a;
    send(1, a);
    ASSERT_TRUE(testutil::waitUntil([&] { return a.calls == 1; }, 3000));
    EXPECT_EQ(a.codes, QList<int> { 4 });

    // Request B (command 10) waits; the stale echo of A arrives first, then B's own reply.
    emulator->clearFaults();
    emulator->addFault(emu::FaultRule::delayReply(emu::FrameFilter::dcp(10), 40, -1));
    Replies b;
    send(10, b);
    emulator->injectFrame(emu::Frame::scp(emu::pid::DCP, 1, 0, 1, 0, 0, 0, 0x01));
    ASSERT_TRUE(testutil::waitUntil([&] { return b.calls == 1; }, 3000));
    EXPECT_EQ(b.codes, QList<int> { 0 });
    EXPECT_EQ(b.payloads.first().left(1), QByteArray("\x0A", 1));
    testutil::spin(100);
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.calls, 1);
}

// The dongle answers every copy of a burst that reached it: a late answer to auto-zero on,
// read while auto-zero off waits to go out, is not taken for its answer.
TEST_F(DonglePipelineTest, AnAnswerReadBeforeTheRequestWentOutIsNotItsAnswer)
{
    fastTiming(0.3, 4);
    Dongle::Timing timing = dongle->timing();
    timing.repeatCount = -1; // the frame is held back
    dongle->setTiming(timing);
    Replies off;
    dongle->setMouseAutoZero(false, off.resultCallback());
    testutil::spin(50);
    emulator->injectFrame(emu::Frame::scp(emu::pid::DCP, 18, 0, 1, 0, 0, 0, 0x01));
    ASSERT_TRUE(testutil::waitUntil([&] { return off.calls == 1; }, 5000));
    EXPECT_EQ(off.codes, QList<int> { 4 });
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(18)), 0);

    // Handed to the port is not gone out either: the dongle is busy, the line takes a few
    // kilobytes, and auto-zero off waits in the port behind the rest when the late answer comes.
    timing.repeatCount = 2;
    dongle->setTiming(timing);
    emulator->pauseReading(true);
    QByteArray ahead;
    for (int i = 0; i < 5000; ++i)
        ahead += Frame::build(localHeader(), scpPayload(9));
    port->write(ahead);
    QObject context;
    int copies = 0;
    QObject::connect(dongle.get(), &Dongle::write, &context, [&] {
        if (++copies == 1) // the first copy is in the port
            emulator->injectFrame(emu::Frame::scp(emu::pid::DCP, 18, 0, 1, 0, 0, 0, 0x01));
    });
    Replies offAgain;
    dongle->setMouseAutoZero(false, offAgain.resultCallback());
    ASSERT_TRUE(testutil::waitUntil([&] { return offAgain.calls == 1; }));
    EXPECT_EQ(offAgain.codes, QList<int> { 4 });
}

TEST_F(DonglePipelineTest, RequestsRunOneAfterAnotherInOrder)
{
    QList<int> order;
    for (uchar command : { 9, 1, 10, 18 })
        dongle->sendPacket(localHeader(), scpPayload(command), DataPredicate::commandEcho(command),
                           Dongle::LocalTimeoutMs,
                           [&order, command](UHRType const*, PacketData const*, DongleResult result) {
                               EXPECT_EQ(result.code, 0);
                               order << command;
                           });
    ASSERT_TRUE(testutil::waitUntil([&] { return order.size() == 4; }, 3000));
    EXPECT_EQ(order, (QList<int> { 9, 1, 10, 18 }));
}

TEST_F(DonglePipelineTest, AListStopsAtItsFirstFailure)
{
    fastTiming(0.1, 4);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(1)));
    int replies = 0;
    QList<int> done;
    dongle->sendPackets({ localDescriptor(9), localDescriptor(1), localDescriptor(10) },
                        [&](UHRType const& header, PacketData const& body) {
                            ++replies;
                            EXPECT_EQ(header.PID, PacketID::DCP);
                            EXPECT_EQ(body.at(0), 9);
                        },
                        [&](DongleResult result) { done << result.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return !done.isEmpty(); }, 3000));
    EXPECT_TRUE(emulator->waitForQuiet(testutil::scaled(100), testutil::scaled(2000)));
    EXPECT_EQ(done, QList<int> { 4 });
    EXPECT_EQ(replies, 1);
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(10)), 0);

    // A list behind the failed one still runs (and calls back once).
    QList<int> second;
    dongle->sendPackets({ localDescriptor(10) }, {}, [&](DongleResult result) { second << result.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return !second.isEmpty(); }, 3000));
    EXPECT_EQ(second, QList<int> { 0 });
    testutil::spin(50);
    EXPECT_EQ(done.size(), 1);
}

TEST_F(DonglePipelineTest, TwoListsQueuedTogetherEachCallBackOnce)
{
    fastTiming(0.1, 4);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(1)));
    QList<int> first, second;
    dongle->sendPackets({ localDescriptor(1), localDescriptor(9) }, {}, [&](DongleResult r) { first << r.code; });
    dongle->sendPackets({ localDescriptor(10), localDescriptor(18) }, {}, [&](DongleResult r) { second << r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return !first.isEmpty() && !second.isEmpty(); }, 3000));
    EXPECT_EQ(first, QList<int> { 4 });
    EXPECT_EQ(second, QList<int> { 0 });
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(9)), 0);
}

TEST_F(DonglePipelineTest, StopCompletesEveryRequestOnceWithCode4)
{
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::any()));
    Replies a, b, c;
    QList<int> list;
    send(9, a);
    send(1, b);
    send(10, c);
    dongle->sendPackets({ localDescriptor(18), localDescriptor(28) }, {}, [&](DongleResult r) { list << r.code; });
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::dcp(9), testutil::scaled(1000)).has_value());

    QElapsedTimer clock;
    clock.start();
    dongle->stop();
    EXPECT_LT(clock.elapsed(), testutil::scaled(200));
    EXPECT_FALSE(dongle->isRunning());
    ASSERT_TRUE(testutil::waitUntil([&] { return a.calls && b.calls && c.calls && !list.isEmpty(); }, 3000));
    EXPECT_TRUE(emulator->waitForQuiet(testutil::scaled(100), testutil::scaled(2000)));
    const int mark = emulator->mark();
    testutil::spin(100);
    EXPECT_EQ(a.codes, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(b.codes, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(c.codes, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(list, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(emulator->mark(), mark); // nothing written after stop

    // A request made while stopped ends at once with code 4 and writes nothing.
    Replies d;
    send(9, d);
    ASSERT_TRUE(testutil::waitUntil([&] { return d.calls == 1; }, 1000));
    EXPECT_EQ(d.codes, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(emulator->mark(), mark);
}

TEST_F(DongleTest, ARequestMadeBeforeStartEndsWithCode4)
{
    Replies replies;
    // Whatever the outcome, the dongle (and the callback it holds into replies) goes first.
    const auto dongleFirst = qScopeGuard([this] { dongle.reset(); });
    dongle->sendPacket(localHeader(), scpPayload(9), DataPredicate::commandEcho(9), Dongle::LocalTimeoutMs,
                       replies.callback());
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 1000));
    EXPECT_EQ(replies.codes, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(emulator->receivedCount(), 0);
}

TEST_F(DonglePipelineTest, DestroyingTheDongleWithRequestsInFlightNeitherBlocksNorLosesACallback)
{
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::any()));
    Replies a, b;
    QList<int> list;
    int chained = 0;
    send(9, a);
    send(1, b);
    dongle->sendPackets({ localDescriptor(18), localDescriptor(28) }, {}, [&](DongleResult r) { list << r.code; });
    // A callback that makes a new request while the dongle goes away still gets its answer.
    Dongle* raw = dongle.get();
    Replies late;
    dongle->sendPacket(localHeader(), scpPayload(10), DataPredicate::commandEcho(10), Dongle::LocalTimeoutMs,
                       [&, raw](UHRType const*, PacketData const*, DongleResult) {
                           ++chained;
                           raw->sendPacket(localHeader(), scpPayload(22), DataPredicate::commandEcho(22),
                                           Dongle::LocalTimeoutMs, late.callback());
                       });
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::dcp(9), testutil::scaled(1000)).has_value());

    QElapsedTimer clock;
    clock.start();
    dongle.reset();
    EXPECT_LT(clock.elapsed(), testutil::scaled(500));
    EXPECT_EQ(a.codes, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(b.codes, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(list, QList<int> { DongleResult::DongleRemoved });
    EXPECT_EQ(chained, 1);
    EXPECT_EQ(late.codes, QList<int> { DongleResult::DongleRemoved });
    testutil::spin(100);
    EXPECT_EQ(a.calls + b.calls + late.calls, 3);
    EXPECT_EQ(list.size(), 1);
}

// A dongle that stops reading the line for a while (busy): the copies of a request that ended
// meanwhile stay in the port and would reach the dongle once it reads again, so that auto-zero
// reported as not set would be set after all.
TEST_F(DonglePipelineTest, ARequestThatEndedIsNotWrittenLater)
{
    fastTiming(0.1, 0);
    Dongle::Timing timing = dongle->timing();
    timing.repeatCount = 1200; // fills the line quickly
    dongle->setTiming(timing);
    emulator->pauseReading(true);
    Replies zero, autoZero;
    dongle->setZero(zero.resultCallback()); // its copies fill the line
    dongle->setMouseAutoZero(true, autoZero.resultCallback());
    ASSERT_TRUE(testutil::waitUntil([&] { return zero.calls == 1 && autoZero.calls == 1; }, 5000));
    EXPECT_EQ(autoZero.codes, QList<int> { 4 });
    emulator->pauseReading(false);
    EXPECT_TRUE(testutil::waitUntil([&] { return port->bytesToWrite() == 0; }, 5000));
    EXPECT_TRUE(emulator->waitForQuiet(testutil::scaled(200), testutil::scaled(5000)));
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(18)), 0);
    EXPECT_FALSE(emulator->dongle().autoZero);

    // A short burst fits in the line whole: its copies wait there, none in the port.
    timing.repeatCount = 20;
    dongle->setTiming(timing);
    emulator->pauseReading(true);
    // What the far end of a pseudo-terminal holds unread (4 KB) stands for what is on its way.
    port->write(QByteArray(6000, '\0'));
    ASSERT_TRUE(testutil::waitUntil([&] { return port->bytesToWrite() == 0; }, 5000));
    Replies late;
    dongle->setMouseAutoZero(true, late.resultCallback());
    ASSERT_TRUE(testutil::waitUntil([&] { return late.calls == 1; }, 5000));
    EXPECT_EQ(late.codes, QList<int> { 4 });
    emulator->pauseReading(false);
    // Answered once the dongle has read all that came before.
    Replies after;
    dongle->setZero(after.resultCallback());
    ASSERT_TRUE(testutil::waitUntil([&] { return after.calls == 1; }, 5000));
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(18)), 0);
    EXPECT_FALSE(emulator->dongle().autoZero);
    emulator->clearErrors(); // the stand-in bytes are garbage to the dongle
}

TEST_F(DonglePipelineTest, TheDongleSurvivesItsPortGoingAway)
{
    fastTiming(0.05, 4);
    Replies replies;
    port.reset(); // the owner deleted the port
    send(9, replies);
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 2000));
    EXPECT_EQ(replies.codes, QList<int> { 4 });
    dongle->writeData(QByteArray("\x55\xAA", 2)); // does nothing
    EXPECT_EQ(dongle->startXmodem(), nullptr);
}

TEST_F(DonglePipelineTest, AFirmwareUploadOwnsTheLineAlone)
{
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(9)));
    Replies inFlight, queued;
    send(9, inFlight);
    send(11, queued);
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::dcp(9), testutil::scaled(1000)).has_value());

    XModem* xmodem = dongle->startXmodem();
    ASSERT_NE(xmodem, nullptr);
    EXPECT_EQ(dongle->startXmodem(), xmodem); // one sender at a time
    // The request in flight ends at once, without another attempt; the one queued behind it
    // is never written and fails as any request made during the upload (the dongle is there).
    ASSERT_TRUE(testutil::waitUntil([&] { return inFlight.calls == 1 && queued.calls == 1; }, 500));
    EXPECT_EQ(inFlight.codes, QList<int> { 4 });
    EXPECT_EQ(queued.codes, QList<int> { 4 });
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(11)), 0);
    testutil::spin(60);
    const int mark = emulator->mark();

    // New requests fail at once and write nothing.
    Replies refused;
    send(10, refused);
    ASSERT_TRUE(testutil::waitUntil([&] { return refused.calls == 1; }, 500));
    EXPECT_EQ(refused.codes, QList<int> { 4 });
    testutil::spin(100);
    EXPECT_EQ(emulator->mark(), mark);

    dongle->stopXmodem();
    EXPECT_EQ(dongle->xmodem(), nullptr);
    Replies after;
    send(10, after);
    ASSERT_TRUE(testutil::waitUntil([&] { return after.calls == 1; }, 2000));
    EXPECT_EQ(after.codes, QList<int> { 0 });
}

TEST_F(DonglePipelineTest, TheUploadsOwnEndHandlerMayHandTheLineBack)
{
    // A file that cannot be opened ends the upload at once, inside sendFile; the listener
    // gives the line back to the dongle from within that signal.
    XModem* xmodem = dongle->startXmodem();
    ASSERT_NE(xmodem, nullptr);
    QPointer<XModem> guard(xmodem);
    int finished = 0;
    QObject::connect(xmodem, &XModem::uploadFinished, dongle.get(), [&](bool) {
        ++finished;
        dongle->stopXmodem();
    });
    xmodem->sendFile(QStringLiteral("/nonexistent/firmware.enc"));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(dongle->xmodem(), nullptr);
    ASSERT_TRUE(testutil::waitUntil([&] { return guard.isNull(); }, 1000));

    Replies after;
    send(10, after);
    ASSERT_TRUE(testutil::waitUntil([&] { return after.calls == 1; }, 2000));
    EXPECT_EQ(after.codes, QList<int> { 0 });
}

TEST_F(DonglePipelineTest, APayloadTooLongForItsLengthByteIsNeverWritten)
{
    const int mark = emulator->mark();
    Header header;
    header.PID = PacketID::DCP;
    int calls = 0;
    int code = -1;
    dongle->sendPacketWithPredicate(header, PacketData(QByteArray(254, '\x09'), PacketData::LittleEndian),
                                    PacketPredicate(header, PacketPredicate::AnyFlags), Dongle::LocalTimeoutMs,
                                    [&](UHRType const*, PacketData const*, DongleResult r) {
                                        ++calls;
                                        code = r.code;
                                    });
    ASSERT_TRUE(testutil::waitUntil([&] { return calls == 1; }, 1000));
    EXPECT_EQ(code, DongleResult::InvalidCommand);
    testutil::spin(100);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(emulator->mark(), mark);
}

TEST_F(DonglePipelineTest, AWaitBlockIsReleasedAfterEveryRequest)
{
    fastTiming(0.05, 4);
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(1)));
    const int waits = WaitBlock::liveCount();
    const int timers = TimedWorker::liveCount();
    Replies ok, failed;
    for (int i = 0; i < 5; ++i)
        send(9, ok);
    send(1, failed);
    ASSERT_TRUE(testutil::waitUntil([&] { return ok.calls == 5 && failed.calls == 1; }, 3000));
    EXPECT_TRUE(testutil::waitUntil(
            [&] { return WaitBlock::liveCount() <= waits && TimedWorker::liveCount() <= timers; }, 1000));
}
