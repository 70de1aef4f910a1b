// The dongle's receive ring, framing and dispatch, its notices, serial errors and the
// protocol revision file.
#include "test_dongle_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "protocol/Checksum.h"

using namespace dongletest;

// ---- Ring ---------------------------------------------------------------------------------------

TEST(DongleRingBuffer, HoldsAtMost134BytesAndWrapsAround)
{
    RingBuffer ring;
    EXPECT_EQ(ring.capacity(), 135);
    EXPECT_TRUE(ring.isEmpty());
    for (int i = 0; i < 134; ++i)
        ASSERT_TRUE(ring.append(uchar(i)));
    EXPECT_TRUE(ring.isFull());
    EXPECT_EQ(ring.available(), 134);
    EXPECT_FALSE(ring.append(0xEE));
    EXPECT_EQ(ring.available(), 134);

    ring.remove(100);
    EXPECT_EQ(ring.available(), 34);
    EXPECT_EQ(ring.at(0), 100);
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(ring.append(uchar(200 + i)));
    EXPECT_LT(ring.tail(), ring.head()); // wrapped
    EXPECT_EQ(ring.available(), 84);
    const QByteArray all = ring.peek(0, 1000); // never past the held bytes
    ASSERT_EQ(all.size(), 84);
    EXPECT_EQ(uchar(all.at(33)), 133);
    EXPECT_EQ(uchar(all.at(34)), 200);
    EXPECT_EQ(uchar(all.at(83)), 249);
    EXPECT_EQ(ring.at(84), 0); // outside the held bytes
    EXPECT_EQ(ring.peek(84, 1), QByteArray());
    // The in-place sum across the wrap, never past the held bytes.
    EXPECT_EQ(ring.sum(30, 8), 130u + 131 + 132 + 133 + 200 + 201 + 202 + 203);
    EXPECT_EQ(ring.sum(80, 100), 246u + 247 + 248 + 249);
    EXPECT_EQ(ring.sum(84, 1), 0u);

    ring.remove(500); // clamps to what is held
    EXPECT_TRUE(ring.isEmpty());
    ring.clear();
    EXPECT_EQ(ring.head(), 0);
    EXPECT_EQ(ring.tail(), 0);
}

TEST(DongleRingBuffer, PayloadSumMatchesTheChecksumAtEveryPlaceAndLength)
{
    // Spans of every length that start anywhere, the ring wrapping and emptied in between, bytes
    // stored one by one and in runs, for long enough that the sums' places are reused many times.
    RingBuffer ring;
    QByteArray bytes;
    quint32 seed = 7;
    uchar run[40];
    for (int round = 0; round < 900; ++round) {
        seed = seed * 1103515245u + 12345u;
        if (ring.isFull())
            ring.remove(int(seed % 40) + 1);
        if (round == 250)
            ring.clear();
        const int count = round % 3 == 0 ? 1 : int(seed % 37) + 1;
        for (int i = 0; i < count; ++i)
            run[i] = uchar((seed >> 16) + i * 91);
        if (count == 1)
            ring.append(run[0]);
        else
            ring.append(run, count);
        bytes = ring.peek(0, RingBuffer::MaxAvailable);
        for (int offset = round % 5; offset < bytes.size(); offset += 5)
            for (int count = 1; offset + count <= bytes.size(); count += 3)
                ASSERT_EQ(ring.payloadSum(offset, count),
                    Checksum::crc16(bytes.constData(), size_t(offset), size_t(count)))
                    << "round " << round << " offset " << offset << " count " << count;
    }
    EXPECT_EQ(ring.payloadSum(0, bytes.size() + 1), 0) << "past the held bytes";
    EXPECT_EQ(ring.payloadSum(-1, 2), 0);
}

TEST(DongleRingBuffer, BatchAppendAndSkipKeepTheSums)
{
    // Bytes stored in runs, around the ring's end, with and without leave to read past the run
    // (as the receiver gives it), give the same bytes and sums as bytes stored one by one; skipTo
    // drops exactly the bytes before the first match, across the end too.
    RingBuffer single, batch;
    uchar bytes[400];
    for (int i = 0; i < 400; ++i)
        bytes[i] = uchar(i * 37 + 11);
    int at = 0;
    bool readAhead = false;
    for (int run : { 100, 30, 1, 17, 13, 90, 5, 62, 13 }) {
        single.remove(run);
        batch.remove(run);
        for (int i = 0; i < run; ++i)
            single.append(bytes[at + i]);
        ASSERT_EQ(batch.append(bytes + at, run, readAhead ? 400 - at : 0), run);
        readAhead = !readAhead;
        at += run;
        ASSERT_EQ(batch.peek(0, 134), single.peek(0, 134));
        for (int count = 1; count <= batch.available(); count += 7)
            ASSERT_EQ(batch.payloadSum(0, count), single.payloadSum(0, count)) << "run " << run;
        EXPECT_EQ(batch.headerSum(), batch.sum(0, 12));
    }
    // Filling up, short runs take only their own places, never the held bytes after them.
    for (int run : { 20, 5, 3, 4 }) {
        for (int i = 0; i < run; ++i)
            single.append(bytes[at + i]);
        ASSERT_EQ(batch.append(bytes + at, run, 400 - at), run);
        at += run;
        ASSERT_EQ(batch.peek(0, 134), single.peek(0, 134)) << "run " << run;
    }
    EXPECT_EQ(batch.append(bytes, 200), RingBuffer::MaxAvailable - batch.available())
        << "only as many as fit";
    const uchar wanted = batch.at(50);
    int first = 0;
    while (batch.at(first) != wanted)
        ++first;
    const int held = batch.available();
    batch.skipTo(wanted);
    EXPECT_EQ(batch.available(), held - first);
    for (int near : { 1, 2, 9 }) {
        const int before = batch.available();
        batch.skipTo(batch.at(near));
        EXPECT_EQ(batch.available(), before - near);
    }
    batch.skipTo(uchar(wanted + 1) == batch.at(0) ? uchar(wanted + 2) : uchar(wanted + 1));
    EXPECT_LE(batch.available(), held - first);
}

// ---- Framing and dispatch over the emulator -----------------------------------------------------

class DongleReceiveTest : public DongleTest
{
protected:
    void SetUp() override
    {
        DongleTest::SetUp();
        ASSERT_EQ(startDongle(), 0);
        ASSERT_TRUE(dongle->isInitialized());
    }
    // Sends n audio notices through the emulator and waits until the dongle has played them.
    bool audioNotices(int expectedTotal)
    {
        return testutil::waitUntil([&] { return delegate.audio >= expectedTotal; }, 2000);
    }
};

TEST_F(DongleReceiveTest, TwoFramesInOneReadAndOneFrameInSingleByteReadsAreDispatched)
{
    emulator->addFault(emu::FaultRule::join(emu::FrameFilter::dcp(9), 2, 1));
    emulator->noticeAudioFeedback();
    emulator->noticeAudioFeedback();
    EXPECT_TRUE(audioNotices(2));

    emulator->addFault(emu::FaultRule::splitBytes(emu::FrameFilter::dcp(9), 1, 1));
    emulator->noticeAudioFeedback();
    EXPECT_TRUE(audioNotices(3));
    testutil::spin(30);
    EXPECT_EQ(delegate.audio, 3);
}

TEST_F(DongleReceiveTest, DamagedBytesBeforeAGoodFrameDoNotLoseIt)
{
    const auto notice = emu::FrameFilter::dcp(9);
    emulator->addFault(
        emu::FaultRule::garbageBefore(notice, QByteArray("\x01\x55\x55\xAA\x10\xFF garbage", 14)));
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(audioNotices(1));

    emulator->addFault(emu::FaultRule::strayHeaderBefore(notice));
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(audioNotices(2));

    emulator->addFault(emu::FaultRule::lengthHeaderBefore(notice, 200));
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(audioNotices(3));

    emulator->addFault(emu::FaultRule::lengthHeaderBefore(notice, 0));
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(audioNotices(4));

    emulator->addFault(emu::FaultRule::lengthHeaderBefore(notice, 1));
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(audioNotices(5));

    // A corrupted frame is dropped, the good one right behind it is found.
    emulator->addFault(emu::FaultRule::corruptHeaderCrc(notice));
    emulator->noticeAudioFeedback();
    emulator->addFault(emu::FaultRule::corruptChecksum(notice));
    emulator->noticeAudioFeedback();
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(audioNotices(6));
    testutil::spin(50);
    EXPECT_EQ(delegate.audio, 6);
}

TEST_F(DongleReceiveTest, StrayHeadersWithAGoodCheckByteNeverMakeTheDongleDeaf)
{
    const QByteArray audio = dongleFrame(PacketID::DCP, QByteArray("\x09\x00\x01", 3));

    // A header whose CRC-8 fits but whose L is 200, 0 or 1 costs one byte of resync.
    for (int L : { 200, 0, 1, 122 }) {
        QByteArray stray = Header(0, 0, 0, 0, PacketID::DCP, 0).getData(0).bytes();
        stray[9] = char(L);
        stray[12] = char(Checksum::crc8(stray.constData(), 0, 12));
        const int before = delegate.audio;
        dongle->appendBytes(stray + audio);
        EXPECT_EQ(delegate.audio, before + 1) << "L = " << L;
    }

    // A stray header with L = 100 and a good check byte would swallow the frames after it;
    // they are still found once its checksum fails.
    QByteArray stray = Header(0, 0, 0, 0, PacketID::DCP, 0).getData(98).bytes();
    const int before = delegate.audio;
    QByteArray stream = stray + audio + audio;
    stream += QByteArray(100, '\x33');
    dongle->appendBytes(stream);
    EXPECT_EQ(delegate.audio, before + 2);

    // Overflow: a long run of bytes never stops the dongle hearing the next frame.
    dongle->appendBytes(QByteArray(1000, '\x55'));
    dongle->appendBytes(audio);
    EXPECT_EQ(delegate.audio, before + 3);
}

TEST_F(DongleReceiveTest, APayloadCarryingAHeaderIsNotTakenForOne)
{
    // A payload that holds a complete audio notice frame: only the outer frame is dispatched.
    const QByteArray inner = dongleFrame(PacketID::DCP, QByteArray("\x09\x00\x01", 3));
    const QByteArray outer = dongleFrame(PacketID::SJP, inner);
    dongle->appendBytes(outer);
    EXPECT_EQ(delegate.audio, 0);
    dongle->appendBytes(inner);
    EXPECT_EQ(delegate.audio, 1);
}

TEST_F(DongleReceiveTest, ShortPayloadsAreNeverReadPast)
{
    // Notices and identity records too short for their record change nothing.
    dongle->appendBytes(dongleFrame(PacketID::DCP, QByteArray("\x40", 1)));
    dongle->appendBytes(dongleFrame(PacketID::NPP, QByteArray("\x02\x01\x02", 3)));
    dongle->appendBytes(dongleFrame(PacketID::ERR, QByteArray()));
    dongle->appendBytes(dongleFrame(PacketID::LCP, QByteArray("\x07", 1)));
    EXPECT_TRUE(delegate.devices.isEmpty());
    EXPECT_EQ(dongle->profile().state, 1);

    // An identity record announcing 200 submodules keeps at most the 4 it can hold.
    QByteArray npp(21, '\0');
    npp[0] = 3;
    npp[20] = char(200);
    npp += QByteArray("\x01\x08\x02\x08", 4);
    dongle->appendBytes(dongleFrame(PacketID::NPP, npp));
    ASSERT_EQ(delegate.devices.size(), 1);
    EXPECT_LE(delegate.devices.first().submoduleCount(), 4);
}

TEST_F(DongleReceiveTest, NoticesUpdateTheDongleAndReachTheDelegate)
{
    // The first frame after initialization carries the emulator's channel 11.
    delegate.dongleMasks.clear();
    emulator->noticeState(emu::state::Idle); // the current state: no status change
    ASSERT_TRUE(
        testutil::waitUntil([&] { return delegate.countMask(DongleChangeMask::channelChanged) == 1; }, 2000));
    EXPECT_EQ(dongle->channel(), 11);
    testutil::spin(30);
    EXPECT_EQ(delegate.countMask(DongleChangeMask::statusChanged), 0);

    emulator->noticeState(emu::state::HopN);
    ASSERT_TRUE(
        testutil::waitUntil([&] { return delegate.countMask(DongleChangeMask::statusChanged) == 1; }, 2000));
    EXPECT_EQ(dongle->profile().state, emu::state::HopN);

    emulator->setChannel(12);
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(
        testutil::waitUntil([&] { return delegate.countMask(DongleChangeMask::channelChanged) == 2; }, 2000));
    EXPECT_EQ(dongle->channel(), 12);

    // The audio notice plays only with msb 1.
    emulator->sendNotice(9, 0, 0);
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.audio == 2; }, 2000));

    // Without a headset the click and key notices change nothing and report nothing.
    emulator->noticeClick(2);
    emulator->noticeKey(0x84, 1);
    emulator->noticeAudioFeedback();
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.audio == 3; }, 2000));
    EXPECT_TRUE(delegate.headsetMasks.isEmpty());

    // The dongle's own identity record updates its profile.
    delegate.dongleMasks.clear();
    emulator->updateDongle([](emu::DongleModel& d) {
        d.major = 3;
        d.minor = 1;
        d.fix = 7;
        d.build = 42;
        d.serial = "DG00000001";
    });
    emulator->sendDongleIdentity();
    ASSERT_TRUE(testutil::waitUntil([&] { return !delegate.devices.isEmpty(); }, 2000));
    EXPECT_EQ(delegate.devices.last().product, ProductID::Dongle);
    EXPECT_EQ(dongle->profile().version, DongleVersion(3, 1, 7, 42));
    EXPECT_EQ(dongle->profile().serial, QStringLiteral("DG00000001"));
    EXPECT_EQ(delegate.countMask(DongleChangeMask::profileChanged), 1);
}

TEST_F(DongleReceiveTest, PasswordFramesAreNeverLoggedInClear)
{
    LogCapture log;
    QByteArray password("Secret-Passw0rd!", 16);
    dongle->appendBytes(dongleFrame(PacketID::KEY, password, 0x01));
    const QString hex = QString::fromLatin1(password.toHex(':'));
    const QStringList lines = log.lines();
    bool dumped = false;
    for (QString const& line : lines) {
        EXPECT_FALSE(line.contains(QLatin1String("Secret"))) << line.toStdString();
        EXPECT_FALSE(line.contains(hex.left(20), Qt::CaseInsensitive)) << line.toStdString();
        dumped = dumped || line.contains(QLatin1String(">>> [KEY]"));
    }
    EXPECT_TRUE(dumped);
}

TEST_F(DongleReceiveTest, ARepeatingSerialErrorIsLoggedOnceAndALiveLineIsStillRead)
{
    LogCapture log;
    for (int i = 0; i < 1000; ++i)
        dongle->handleError(QSerialPort::ReadError);
    EXPECT_EQ(log.count(QStringLiteral("Serial port error occured")), 1);
    dongle->handleError(QSerialPort::NoError);
    dongle->handleError(QSerialPort::ReadError);
    EXPECT_EQ(log.count(QStringLiteral("Serial port error occured")), 2);

    for (int i = 0; i < 1000; ++i)
        dongle->handleError(QSerialPort::ResourceError);
    EXPECT_EQ(log.count(QStringLiteral("ResourceError")), 1);
    // The line is alive: notices still arrive.
    emulator->noticeAudioFeedback();
    EXPECT_TRUE(testutil::waitUntil([&] { return delegate.audio == 1; }, 3000));
}

TEST_F(DongleReceiveTest, UnpluggingTheDongleMidRequestEndsTheRequestAndLogsOnce)
{
    fastTiming(0.05);
    LogCapture log;
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(9)));
    Replies replies;
    dongle->sendPacket(localHeader(), scpPayload(9), DataPredicate::commandEcho(9), Dongle::LocalTimeoutMs,
        replies.callback());
    ASSERT_TRUE(emulator->waitForFrame(emu::FrameFilter::dcp(9), testutil::scaled(1000)).has_value());
    emulator->unplug();
    ASSERT_TRUE(testutil::waitUntil([&] { return replies.calls == 1; }, 3000));
    EXPECT_EQ(replies.codes, QList<int> { 4 });
    testutil::spin(100);
    EXPECT_EQ(replies.calls, 1);
    EXPECT_LE(log.count(QStringLiteral("Serial port error occured")), 2);
}

// ---- Before initialization ------------------------------------------------------------------

TEST_F(DongleTest, NoticesBeforeInitializationAreNotDispatched)
{
    emulator->noticeAudioFeedback();
    emulator->noticeState(emu::state::HopS);
    testutil::spin(100);
    EXPECT_EQ(delegate.audio, 0);
    EXPECT_TRUE(delegate.dongleMasks.isEmpty());
    EXPECT_EQ(dongle->profile().state, 6);
    EXPECT_EQ(dongle->channel(), 0);
    EXPECT_FALSE(dongle->isInitialized());
}

TEST_F(DongleTest, AHeadsetStatusHeardDuringTheStartIsNotDispatched)
{
    // The start sequence runs before the dongle is initialized: a headset status heard then
    // makes no headset (and no error), while the replies the start waits for still match.
    SHP status;
    status.revision = Dongle::protocolRevision();
    status.moduleAddress = 4;
    status.modulePort = 1;
    status.calibration = 0xFF;
    status.quatW = 16384;
    const QByteArray payload = status.getData().bytes();
    emu::Emulator* e = emulator.get();
    auto injected = std::make_shared<std::atomic<int>>(0);
    emulator->setRequestHook([e, payload, injected](emu::Frame const&) {
        if (injected->fetch_add(1) == 0)
            e->injectFrame(emu::Frame { 0x00, 0x1234, 0x0001, 0x0004, emu::pid::SHP, 11, payload });
        return false;
    });
    ASSERT_EQ(startDongle(), 0);
    testutil::spin(50);
    EXPECT_GT(injected->load(), 0);
    EXPECT_EQ(dongle->headset(), nullptr);
    EXPECT_EQ(delegate.found, 0);
    EXPECT_TRUE(delegate.errors.isEmpty());
}

TEST_F(DongleTest, DeviceEntryWithoutHeadset)
{
    const OrvixDevice own = dongle->device();
    EXPECT_EQ(own.address, 0);
    EXPECT_EQ(own.port, 0x01);
    EXPECT_EQ(own.preset, 0);
    ASSERT_EQ(startDongle(), 0);
    EXPECT_EQ(dongle->device().address, 4);
    EXPECT_EQ(dongle->device().port, 0x01);
}

// ---- Protocol revision file -----------------------------------------------------------------

namespace
{

quint16 revisionOf(QTemporaryDir const& dir, QByteArray const& content)
{
    const QString path = dir.filePath(QStringLiteral("orvixtools.ini"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    return Dongle::protocolRevision(path);
}

} // namespace

TEST(DongleProtocolRevision, ReadsTheLastValidLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(Dongle::protocolRevision(dir.filePath(QStringLiteral("missing.ini"))), 156);
    EXPECT_EQ(revisionOf(dir, "protocol_revision = 150\n"), 150);
    EXPECT_EQ(revisionOf(dir, "protocol_revision=150 ; the test dongle\n"), 150);
    EXPECT_EQ(revisionOf(dir, "  protocol_revision   =   151  \r\n"), 151);
    EXPECT_EQ(revisionOf(dir, "; only a comment\n\n   \n"), 156);
    EXPECT_EQ(revisionOf(dir, "protocol_revision = 150\nprotocol_revision = 152\n"), 152);
    EXPECT_EQ(revisionOf(dir, "protocol_revision = abc\n"), 0);
    EXPECT_EQ(revisionOf(dir, "protocol_revision = 70000\n"), 0);
    EXPECT_EQ(revisionOf(dir, "protocol_revision = -3\n"), 0);

    LogCapture log;
    EXPECT_EQ(revisionOf(dir, "revision = 150\n"), 156);
    EXPECT_EQ(log.count(QStringLiteral("unknown variable revision ")), 1);
    EXPECT_EQ(revisionOf(dir, "protocol_revision 150\n"), 156);
    EXPECT_EQ(revisionOf(dir, "protocol_revision = 150 = 3\n"), 156);
    EXPECT_EQ(log.count(QStringLiteral("invalid line")), 2);
}

TEST(DongleProtocolRevision, ReadsOnlyTheFirst64KiBAndLogsABadLineCutShort)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LogCapture log;
    // A bad line of 60000 characters is logged in a few dozen characters.
    EXPECT_EQ(revisionOf(dir, QByteArray(60000, 'x') + "\nprotocol_revision = 150\n"), 150);
    ASSERT_EQ(log.count(QStringLiteral("invalid line")), 1);
    for (const QString& line : log.lines())
        EXPECT_LT(line.size(), 300);
    // A setting beyond the first 64 KiB is not read.
    EXPECT_EQ(revisionOf(dir, QByteArray(70000, '\n') + "protocol_revision = 150\n"), 156);
    EXPECT_EQ(revisionOf(dir, "protocol_revision = 150\n" + QByteArray(70000, '\n')), 150);
}

TEST(DongleProtocolRevision, ReadsTheWorkingDirectorysFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(Dongle::protocolRevision(), 156);
    QFile file(QStringLiteral("orvixtools.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("protocol_revision = 157\n");
    file.close();
    EXPECT_EQ(Dongle::protocolRevision(), 157);
    QDir::setCurrent(previous);
}

TEST(DongleProtocolRevision, ANamedPipeOrAFolderIsNeverRead)
{
    // Opening a pipe without a writer would block for ever.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("orvixtools.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(Dongle::protocolRevision(fifo), 156);
    EXPECT_EQ(Dongle::protocolRevision(dir.path()), 156);
}

TEST(DongleHandshake, NeedsAnOpenPort)
{
    EXPECT_FALSE(Dongle::handshake(nullptr));
    QSerialPort closed;
    EXPECT_FALSE(Dongle::handshake(&closed));
}

TEST(DongleKeyNotice, ModifierKeysSetAndClearTheirBits)
{
    using M = HeadsetControlMask;
    EXPECT_EQ(Dongle::modifierMaskAfterKey(0, 0x84, 1), quint32(M::control));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(0, 0x80, 1), quint32(M::control));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(0, 0x81, 1), quint32(M::shift));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(0, 0x86, 1), quint32(M::alt));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(0, 0x87, 1), quint32(M::command));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::shift, 0x83, 1), quint32(M::shift | M::command));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::shift | M::alt, 0x85, 2), quint32(M::alt));
    // Other keys and actions change nothing; release all clears every bit whatever the key.
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::alt, 0x41, 1), quint32(M::alt));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::alt, 0x88, 1), quint32(M::alt));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::alt, 0x82, 0), quint32(M::alt));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::alt, 0x82, 4), quint32(M::alt));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::alt | M::control | M::scroll, 0x41, 3), quint32(M::none));
    EXPECT_EQ(Dongle::modifierMaskAfterKey(M::alt, 0, 3), quint32(M::none));
}
