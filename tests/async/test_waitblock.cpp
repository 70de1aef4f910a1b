#include "async/OperationQueue.h"
#include "async/WaitBlock.h"

#include "common/qt_wait.h"
#include "common/test_semaphore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

UHRType header(quint8 f, quint16 pan, quint16 s, quint16 d, PacketID pid, int payloadLength = 3)
{
    UHRType h;
    h.sync[0] = 0x55;
    h.sync[1] = 0xAA;
    h.F = f;
    h.PAN = pan;
    h.S = s;
    h.D = d;
    h.PID = pid;
    h.L = quint8(payloadLength + 2);
    return h;
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

struct Report {
    int count = 0;
    int code = -1;
    bool nullHeader = false;
    QThread* thread = nullptr;
};

// A wait made the way the send pipeline makes it: released on finished, handler connected directly.
WaitBlock* makeWait(Report& report, const PacketPredicate& predicate, int timeoutMs, QThread* timerThread = nullptr)
{
    auto* wait = new WaitBlock(timerThread ? timerThread : QThread::currentThread(), predicate, timeoutMs, nullptr);
    QObject::connect(wait, &WaitBlock::finished, wait, &QObject::deleteLater);
    QObject::connect(
        wait, &WaitBlock::matched, wait,
        [&report](const UHRType* h, const PacketData*, DongleResult r) {
            ++report.count;
            report.code = r.code;
            report.nullHeader = (h == nullptr);
            report.thread = QThread::currentThread();
        },
        Qt::DirectConnection);
    return wait;
}

} // namespace

TEST(PacketPredicate, FlagsRule)
{
    const PacketPredicate zero(header(0, 0, 0, 0, PacketID::DCP), 0);
    EXPECT_TRUE(zero.match(header(0, 0, 0, 0, PacketID::DCP), {}));
    EXPECT_FALSE(zero.match(header(1, 0, 0, 0, PacketID::DCP), {}));

    const PacketPredicate one(PacketID::LCP, 1);
    EXPECT_TRUE(one.match(header(1, 1, 2, 3, PacketID::LCP), {}));
    EXPECT_TRUE(one.match(header(3, 1, 2, 3, PacketID::LCP), {}));
    EXPECT_FALSE(one.match(header(2, 1, 2, 3, PacketID::LCP), {}));
    EXPECT_FALSE(one.match(header(0, 1, 2, 3, PacketID::LCP), {}));

    const PacketPredicate any(PacketID::LCP, 255);
    for (int f : { 0, 1, 2, 0x80, 0xFF })
        EXPECT_TRUE(any.match(header(quint8(f), 0, 0, 0, PacketID::LCP), {})) << f;
}

TEST(PacketPredicate, ListsAndBounds)
{
    PacketPredicate p;
    EXPECT_TRUE(p.match(header(7, 9, 9, 9, PacketID::KEY), bytes({ 1, 2 }))); // default: any frame

    p.pan.values = { 1, 5 };
    p.pan.min = 100;
    p.pan.minEnabled = true;
    p.pan.max = 200;
    p.pan.maxEnabled = true;
    EXPECT_TRUE(p.match(header(0, 5, 0, 0, PacketID::RAW), {})); // the list wins over the bounds
    EXPECT_FALSE(p.match(header(0, 150, 0, 0, PacketID::RAW), {}));

    PacketPredicate m;
    m.src.min = 10;
    m.src.minEnabled = true;
    EXPECT_TRUE(m.match(header(0, 0, 10, 0, PacketID::RAW), {}));
    EXPECT_TRUE(m.match(header(0, 0, 65535, 0, PacketID::RAW), {}));
    EXPECT_FALSE(m.match(header(0, 0, 9, 0, PacketID::RAW), {}));

    const PacketID ids[] = { PacketID::ACK, PacketID::NPP };
    const PacketPredicate list(ids, 2, 255);
    EXPECT_TRUE(list.match(header(0, 0, 0, 0, PacketID::NPP), {}));
    EXPECT_TRUE(list.match(header(0, 0, 0, 0, PacketID::ACK), {}));
    EXPECT_FALSE(list.match(header(0, 0, 0, 0, PacketID::LPP), {}));

    const PacketPredicate exact(1, 0x0010, 0x0020, PacketID::GRCP, 255);
    EXPECT_TRUE(exact.match(header(0, 1, 0x10, 0x20, PacketID::GRCP), {}));
    EXPECT_FALSE(exact.match(header(0, 1, 0x20, 0x10, PacketID::GRCP), {}));
    EXPECT_FALSE(exact.match(header(0, 2, 0x10, 0x20, PacketID::GRCP), {}));
    EXPECT_FALSE(exact.match(header(0, 1, 0x10, 0x20, PacketID::LCP), {}));
}

TEST(DataPredicate, MatchRules)
{
    const DataPredicate echo = DataPredicate::commandEcho(17);
    EXPECT_TRUE(echo.match(bytes({ 0x11, 0x05, 0x01 })));
    EXPECT_FALSE(echo.match(bytes({ 0x12, 0x05, 0x01 })));
    EXPECT_FALSE(echo.match(bytes({ 0x11, 0x05 })));

    EXPECT_TRUE(DataPredicate(bytes({ 1 }), bytes({ 0xFF, 0xFF })).match({})); // mask longer than pattern
    EXPECT_TRUE(DataPredicate().match(bytes({ 1, 2, 3 })));
    EXPECT_TRUE(DataPredicate(bytes({ 1, 2 }), {}).match({}));

    const DataPredicate product = DataPredicate::productMatch(0x18);
    QByteArray npp(14, '\0');
    npp[0] = 0x18;
    EXPECT_TRUE(product.match(npp));
    EXPECT_FALSE(product.match(npp.left(13)));
    npp[0] = char(0x88);
    EXPECT_FALSE(product.match(npp));
}

TEST(DataPredicate, TextForms)
{
    EXPECT_EQ(DataPredicate(bytes({ 0x11, 0x22, 0x33 }), bytes({ 0xFF, 0x00, 0x0F })).toString(), "[:11:__:03]");
    EXPECT_EQ(DataPredicate().toString(), "[]");

    EXPECT_EQ(PacketPredicate().toString(), "Packet Predicate (Flags: any)");
    PacketPredicate echo(0, 0, 0, PacketID::DCP, 255);
    echo.data = DataPredicate::commandEcho(9);
    EXPECT_EQ(echo.toString(), "Packet Predicate (PAN: (0), SRC: (0), DST: (0), PID: (16), Flags: any)\n"
                               " Data Predicate [:09:__:__]");
    PacketPredicate bounds(PacketID::LCP, 1);
    bounds.pan.max = 7;
    bounds.pan.maxEnabled = true;
    bounds.src.min = 3;
    bounds.src.minEnabled = true;
    bounds.dst.min = 1;
    bounds.dst.max = 4;
    bounds.dst.minEnabled = bounds.dst.maxEnabled = true;
    EXPECT_EQ(bounds.toString(),
              "Packet Predicate (PAN: (_ - 7), SRC: (3 - _), DST: (1 - 4), PID: (48), Flags: 0b00000001)");
}

TEST(SCPDescriptor, HeaderAndPredicate)
{
    SCPDescriptor d(1, 0x0100, 0x0022, PacketID::LCP, PacketData(bytes({ 9, 0, 0 })), DataPredicate::commandEcho(9),
                    3000, 0);
    const Header h = d.getHeader();
    EXPECT_EQ(h.sync[0], 0x55);
    EXPECT_EQ(h.sync[1], 0xAA);
    EXPECT_EQ(h.F, 0);
    EXPECT_EQ(h.PAN, 1);
    EXPECT_EQ(h.S, 0x0100);
    EXPECT_EQ(h.D, 0x0022);
    EXPECT_EQ(h.PID, PacketID::LCP);
    EXPECT_EQ(h.CH, 0);

    const PacketPredicate p = d.getPredicate();
    EXPECT_TRUE(p.match(header(0, 1, 0x0100, 0x0022, PacketID::LCP), bytes({ 9, 1, 2 })));
    EXPECT_FALSE(p.match(header(1, 1, 0x0100, 0x0022, PacketID::LCP), bytes({ 9, 1, 2 })));
    EXPECT_FALSE(p.match(header(0, 1, 0x0100, 0x0022, PacketID::LCP), bytes({ 8, 1, 2 })));

    SCPDescriptor pidOnly = d;
    pidOnly.useExplicitPredicate = false;
    EXPECT_TRUE(pidOnly.getPredicate().match(header(0, 9, 9, 9, PacketID::LCP), bytes({ 1 })));

    SCPDescriptor stored = d;
    stored.useStoredPredicate = true;
    stored.predicate = PacketPredicate(PacketID::NPP, 255);
    EXPECT_TRUE(stored.getPredicate().match(header(0, 9, 9, 9, PacketID::NPP), {}));
    EXPECT_FALSE(stored.getPredicate().match(header(0, 1, 0x0100, 0x0022, PacketID::LCP), bytes({ 9, 0, 0 })));
}

TEST(WaitBlock, MatchReportsOnceAndReleases)
{
    const int before = WaitBlock::liveCount();
    Report report;
    PacketPredicate predicate(0, 0, 0, PacketID::DCP, 255);
    predicate.data = DataPredicate::commandEcho(9);
    QPointer<WaitBlock> wait = makeWait(report, predicate, 50);
    wait->start();

    const UHRType reply = header(1, 0, 0, 0, PacketID::DCP);
    EXPECT_FALSE(wait->verify(header(1, 0, 0, 0, PacketID::DCP), PacketData(bytes({ 8, 0, 0, 0x12, 0x34 }))));
    EXPECT_TRUE(wait->verify(reply, PacketData(bytes({ 9, 0, 0, 0x12, 0x34 }))));
    EXPECT_FALSE(wait->verify(reply, PacketData(bytes({ 9, 0, 0, 0x12, 0x34 }))));
    EXPECT_EQ(report.count, 1);
    EXPECT_EQ(report.code, 0);
    EXPECT_FALSE(report.nullHeader);
    testutil::spin(100); // past the timeout: no second report
    EXPECT_EQ(report.count, 1);
    EXPECT_TRUE(wait.isNull());
    EXPECT_EQ(WaitBlock::liveCount(), before);
}

TEST(WaitBlock, DataPredicateSeesThePayloadNotItsChecksum)
{
    Report report;
    PacketPredicate predicate(PacketID::DCP, 255);
    predicate.data = DataPredicate::commandEcho(0x11);
    WaitBlock* wait = makeWait(report, predicate, 1000);
    wait->start();
    // A two-byte payload followed by its two checksum bytes must not pass a three-byte echo test.
    EXPECT_FALSE(wait->verify(header(1, 0, 0, 0, PacketID::DCP, 2), PacketData(bytes({ 0x11, 0x05, 0xAB, 0xCD }))));
    EXPECT_TRUE(wait->verify(header(1, 0, 0, 0, PacketID::DCP, 3), PacketData(bytes({ 0x11, 0x05, 0x01, 0, 0 }))));
    EXPECT_EQ(report.count, 1);
    testutil::spin(5);
}

TEST(WaitBlock, TimeoutReportsCodeFourOnceAndLateFramesChangeNothing)
{
    const int before = WaitBlock::liveCount();
    const int workers = TimedWorker::liveCount();
    Report report;
    QPointer<WaitBlock> wait = makeWait(report, PacketPredicate(PacketID::ACK, 255), 10);
    wait->start();
    ASSERT_TRUE(testutil::waitUntil([&] { return report.count > 0; }, 2000));
    EXPECT_EQ(report.code, 4);
    EXPECT_TRUE(report.nullHeader);
    if (wait) {
        EXPECT_FALSE(wait->verify(header(1, 0, 0, 0, PacketID::ACK), PacketData(bytes({ 1, 2 }))));
        wait->cancel();
    }
    ASSERT_TRUE(testutil::waitUntil([&] { return wait.isNull(); }, 2000));
    EXPECT_EQ(report.count, 1);
    EXPECT_EQ(WaitBlock::liveCount(), before);
    EXPECT_EQ(TimedWorker::liveCount(), workers);
}

TEST(WaitBlock, CancelReportsCodeFourOnce)
{
    Report report;
    QPointer<WaitBlock> wait = makeWait(report, PacketPredicate(PacketID::ACK, 255), 20);
    wait->start();
    wait->cancel();
    wait->cancel();
    EXPECT_EQ(report.count, 1);
    EXPECT_EQ(report.code, 4);
    testutil::spin(60); // the cancelled timer never fires into a released wait
    EXPECT_EQ(report.count, 1);
    EXPECT_TRUE(wait.isNull());
}

TEST(WaitBlock, CancelBeforeStartIsReleasedOnceStarted)
{
    const int before = WaitBlock::liveCount();
    Report report;
    QPointer<WaitBlock> wait = makeWait(report, PacketPredicate(PacketID::ACK, 255), 20);
    wait->cancel();
    EXPECT_EQ(report.count, 1);
    testutil::spin(10);
    ASSERT_FALSE(wait.isNull()); // not released before start: the starter still holds it
    wait->start();
    ASSERT_TRUE(testutil::waitUntil([&] { return wait.isNull(); }, 1000));
    EXPECT_EQ(report.count, 1);
    EXPECT_EQ(WaitBlock::liveCount(), before);
}

TEST(WaitBlock, ReleasedWhileWaitingNeverExpiresLater)
{
    Report report;
    auto* wait = new WaitBlock(QThread::currentThread(), PacketPredicate(), 10, nullptr);
    QObject::connect(wait, &WaitBlock::matched, wait, [&](const UHRType*, const PacketData*, DongleResult) { ++report.count; },
                     Qt::DirectConnection);
    wait->start();
    delete wait; // its timer goes with it
    testutil::spin(40);
    EXPECT_EQ(report.count, 0);
}

TEST(WaitBlock, CreatedOnAWorkerItLivesOnTheTimerThread)
{
    Report report;
    QPointer<WaitBlock> wait;
    std::atomic<bool> made { false };
    OperationQueue queue("Maker");
    queue.addOperation([&](QThread* timerThread) {
        wait = makeWait(report, PacketPredicate(PacketID::ACK, 255), 15, timerThread);
        wait->start();
        made = true;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return made.load(); }, 1000));
    queue.waitForAllOperationsFinished();
    ASSERT_TRUE(testutil::waitUntil([&] { return report.count > 0; }, 1000));
    EXPECT_EQ(report.thread, QThread::currentThread());
    EXPECT_EQ(report.code, 4);
    ASSERT_TRUE(testutil::waitUntil([&] { return wait.isNull(); }, 1000));
}

// The send pipeline's use, a thousand times: each request creates its wait on a worker thread,
// blocks until the reply handler (on this thread) releases it; replies come from this thread.
// Every fifth request is left to time out. Nothing may stay alive afterwards.
TEST(WaitBlock, ThousandRequestsLeaveNothingAlive)
{
    const int waits = WaitBlock::liveCount();
    const int workers = TimedWorker::liveCount();
    const int operations = Operation::liveOperations();
    std::atomic<WaitBlock*> current { nullptr };
    std::atomic<int> currentIndex { 0 };
    std::atomic<int> matchedOk { 0 }, timedOut { 0 }, reports { 0 };
    const int total = 1000;
    {
        OperationQueue queue("SendPacketQueue");
        for (int i = 0; i < total; ++i) {
            queue.addOperation([&, i](QThread* timerThread) {
                testsync::Semaphore replied;
                PacketPredicate predicate(0, 0, 0, PacketID::DCP, 255);
                predicate.data = DataPredicate::commandEcho(quint8(i));
                auto* wait = new WaitBlock(timerThread, predicate, i % 5 == 0 ? 1 : 2000, nullptr);
                QObject::connect(wait, &WaitBlock::finished, wait, &QObject::deleteLater);
                QObject::connect(
                    wait, &WaitBlock::matched, wait,
                    [&, wait](const UHRType*, const PacketData*, DongleResult r) {
                        ++reports;
                        if (r.code == 0)
                            ++matchedOk;
                        else
                            ++timedOut;
                        WaitBlock* expected = wait;
                        current.compare_exchange_strong(expected, nullptr);
                        replied.release();
                    },
                    Qt::DirectConnection);
                currentIndex.store(i);
                current.store(wait);
                wait->start();
                replied.acquire();
            });
        }
        // The "dongle" answers every request but each fifth.
        ASSERT_TRUE(testutil::waitUntil(
            [&] {
                WaitBlock* w = current.load();
                const int index = currentIndex.load();
                if (w && index % 5 != 0)
                    w->verify(header(1, 0, 0, 0, PacketID::DCP), PacketData(bytes({ index & 0xFF, 0, 0, 0, 0 })));
                return reports.load() == total;
            },
            20000));
        queue.waitForAllOperationsFinished();
    }
    EXPECT_EQ(matchedOk.load(), total - total / 5);
    EXPECT_EQ(timedOut.load(), total / 5);
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return WaitBlock::liveCount() == waits && TimedWorker::liveCount() == workers; }, 2000));
    EXPECT_EQ(Operation::liveOperations(), operations);
}
