// The XMODEM-1K sender on a real serial port (a pseudo-terminal) against the cabled LINK's
// loader from the emulator.
#include "protocol/XModem.h"
#include "protocol/PtyPeer.h"

#include "common/qt_wait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <vector>

using testutil::PtyLoader;
using testutil::PtyPeer;
using testutil::scaled;
using testutil::spin;
using testutil::waitUntil;

namespace {

QStringList* g_log = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void captureLog(QtMsgType, const QMessageLogContext&, const QString& msg)
{
    if (g_log)
        g_log->append(msg);
}

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(gen.bounded(256));
    return bytes;
}

// What the port wrote, cut into XMODEM frames.
struct Wire
{
    struct Frame
    {
        quint8 number;
        quint8 complement;
        QByteArray data;
        quint16 crc;
    };
    std::vector<Frame> frames;
    int eots = 0;
    int other = 0;
    QByteArray order; // 'B' per frame, 'E' per EOT, in order

    explicit Wire(const QByteArray& bytes)
    {
        int i = 0;
        while (i < bytes.size()) {
            const char c = bytes.at(i);
            if (c == XModem::STX && i + XModem::FRAME_SIZE <= bytes.size()) {
                Frame f;
                f.number = quint8(bytes.at(i + 1));
                f.complement = quint8(bytes.at(i + 2));
                f.data = bytes.mid(i + 3, XModem::BLOCK_SIZE);
                f.crc = quint16((quint8(bytes.at(i + 1027)) << 8) | quint8(bytes.at(i + 1028)));
                frames.push_back(f);
                order += 'B';
                i += XModem::FRAME_SIZE;
            } else {
                if (c == XModem::EOT) {
                    ++eots;
                    order += 'E';
                } else {
                    ++other;
                }
                ++i;
            }
        }
    }
};

class XModemUpload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log = &log;
        g_previousHandler = qInstallMessageHandler(captureLog);
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(pty.open());
        port = std::make_unique<QSerialPort>();
        port->setPortName(pty.slavePath());
        port->setBaudRate(57600);
        port->setDataBits(QSerialPort::Data8);
        port->setParity(QSerialPort::NoParity);
        port->setStopBits(QSerialPort::OneStop);
        port->setFlowControl(QSerialPort::NoFlowControl);
        ASSERT_TRUE(port->open(QIODevice::ReadWrite)) << port->errorString().toStdString();
        loader = std::make_unique<PtyLoader>(pty, 20);
        makeSender();
    }

    void TearDown() override
    {
        delete xm.data();
        loader.reset();
        port.reset();
        pty.close();
        qInstallMessageHandler(g_previousHandler);
        g_log = nullptr;
    }

    void makeSender()
    {
        xm = new XModem(*port);
        // Long enough that a loaded machine does not time out a healthy exchange; tests that
        // wait out time-outs shorten them.
        xm->setTimeoutsForTest({ scaled(1000), scaled(250), scaled(2000) });
        QObject::connect(xm, &XModem::uploadFinished, [this](bool ok) {
            finished.push_back(ok);
            events += ok ? "F+" : "F-";
        });
        QObject::connect(xm, &XModem::uploadError, [this] {
            ++errors;
            events += "E";
        });
        QObject::connect(xm, &XModem::uploadProgress,
                         [this](int percent, qint64 remaining) { progress.push_back({percent, remaining}); });
        QObject::connect(xm, &XModem::deviceConnected, [this] { ++connected; });
        QObject::connect(xm, &XModem::deviceDisconnected, [this] { ++disconnected; });
    }

    QString writeFile(const QByteArray& content, const QString& name = "fw.enc")
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    // Starts the sender and the loader's beacon; true once the sender has seen the loader.
    bool connectLoader()
    {
        xm->start();
        loader->enterBootloader();
        return waitUntil([this] { return xm->isDeviceAvailable(); }, 2000);
    }

    // Uploads and waits for the end; then keeps listening a little for a second end.
    bool upload(const QString& path, int waitMs = 5000)
    {
        EXPECT_TRUE(xm->sendFile(path));
        const bool ended = waitUntil([this] { return !finished.empty(); }, waitMs);
        spin(50);
        return ended;
    }

    // The loader answers the first copy of block 2 only after the sender has re-sent it, then
    // acknowledges the re-sent copy as a duplicate: two ACKs for one block. Returns the answers
    // the loader still held when the upload ended.
    int uploadWithALateAnswer(int size, emu::XmodemReceiver::EotAnswer eotAnswer)
    {
        emu::XmodemReceiver::Faults faults;
        faults.eotAnswer = eotAnswer;
        faults.eotFaults = -1;
        loader->receiver.setFaults(faults);
        loader->holdAnswer(2, scaled(400), scaled(30));
        xm->setTimeoutsForTest({ scaled(200), scaled(400), scaled(2000) });
        int heldAtFinish = -1;
        QObject::connect(xm, &XModem::uploadFinished, [&] { heldAtFinish = loader->answersHeld(); });
        const QByteArray content = randomBytes(size, 23);
        EXPECT_TRUE(connectLoader());
        EXPECT_TRUE(upload(writeFile(content)));
        EXPECT_EQ(loader->receiver.duplicatesAcked(), 1);
        EXPECT_EQ(loader->receiver.image().left(size), content);
        return heldAtFinish;
    }

    bool logged(const QString& line) const { return log.contains(line); }
    bool loggedStarting(const QString& start) const
    {
        for (const QString& l : log)
            if (l.startsWith(start))
                return true;
        return false;
    }

    QTemporaryDir dir;
    PtyPeer pty;
    std::unique_ptr<QSerialPort> port;
    std::unique_ptr<PtyLoader> loader;
    QPointer<XModem> xm;
    QStringList log;
    std::vector<bool> finished;
    int errors = 0;
    QString events;
    std::vector<std::pair<int, qint64>> progress;
    int connected = 0;
    int disconnected = 0;
};

} // namespace

TEST(XModemCrc, MatchesTheCheckValueAndTheLoadersOwnCrc)
{
    EXPECT_EQ(XModem::calculateCRC(QByteArray("123456789")), 0x31C3);
    EXPECT_EQ(XModem::calculateCRC(QByteArray()), 0x0000);
    for (quint32 seed = 1; seed <= 8; ++seed) {
        const QByteArray block = randomBytes(1024, seed);
        EXPECT_EQ(XModem::calculateCRC(block), emu::XmodemReceiver::crc16(block.constData(), block.size()));
    }
}

TEST_F(XModemUpload, FileOf1025BytesGoesAsTwoPaddedBlocksThenEot)
{
    const QByteArray content = randomBytes(1025, 7);
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(writeFile(content)));

    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(errors, 0);
    EXPECT_FALSE(xm->isBusy());
    EXPECT_TRUE(loader->receiver.isComplete());
    EXPECT_EQ(loader->receiver.image(), content + QByteArray(1023, char(0xFF)));

    const Wire wire(loader->wire());
    ASSERT_EQ(wire.frames.size(), 2u);
    EXPECT_EQ(wire.order, "BBE");
    EXPECT_EQ(wire.other, 0);
    EXPECT_EQ(wire.frames[0].number, 1);
    EXPECT_EQ(wire.frames[0].complement, 254);
    EXPECT_EQ(wire.frames[0].data, content.left(1024));
    EXPECT_EQ(wire.frames[1].number, 2);
    EXPECT_EQ(wire.frames[1].complement, 253);
    EXPECT_EQ(wire.frames[1].data, content.mid(1024) + QByteArray(1023, char(0xFF)));
    // CRC high byte first.
    EXPECT_EQ(wire.frames[1].crc, XModem::calculateCRC(wire.frames[1].data));
    EXPECT_EQ(loader->wire().size(), 2 * 1029 + 1);
    EXPECT_TRUE(logged("file sent"));
}

TEST_F(XModemUpload, AnEmptyFileIsRefusedWithoutWritingAnything)
{
    ASSERT_TRUE(connectLoader());
    EXPECT_TRUE(xm->sendFile(writeFile(QByteArray())));
    EXPECT_EQ(events, "EF-");
    EXPECT_TRUE(loggedStarting("empty file, nothing to send"));
    EXPECT_TRUE(loader->wire().isEmpty());
    EXPECT_FALSE(xm->isBusy());
}

TEST_F(XModemUpload, BlockNumbersWrapAndProgressStaysInRange)
{
    // 256 full blocks and one more: numbers 1..255, 0, 1.
    const QByteArray content = randomBytes(256 * 1024 + 10, 3);
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(writeFile(content), 20000));
    ASSERT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(loader->receiver.image(), content + QByteArray(1014, char(0xFF)));

    const Wire wire(loader->wire());
    ASSERT_EQ(wire.frames.size(), 257u);
    for (size_t i = 0; i < wire.frames.size(); ++i) {
        EXPECT_EQ(wire.frames[i].number, quint8(i + 1)) << i;
        EXPECT_EQ(wire.frames[i].number + wire.frames[i].complement, 255) << i;
    }
    EXPECT_EQ(wire.frames[254].number, 255);
    EXPECT_EQ(wire.frames[255].number, 0);
    EXPECT_EQ(wire.frames[256].number, 1);

    ASSERT_FALSE(progress.empty());
    int last = 0;
    for (const auto& [percent, remaining] : progress) {
        EXPECT_GE(percent, last);
        EXPECT_LE(percent, 100);
        EXPECT_GE(remaining, 0);
        last = percent;
    }
}

TEST_F(XModemUpload, TheFirstTimeLeftFollowsTheSpeedOfTheBlocksTaken)
{
    // Block 1 is taken only after a time-out: the 98 blocks left need about 98 times that long.
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{1, 1}};
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(300), scaled(1000), scaled(2000) });
    ASSERT_TRUE(connectLoader());
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(xm->sendFile(writeFile(randomBytes(100 * 1024, 17))));
    ASSERT_TRUE(waitUntil([this] { return !progress.empty(); }, 5000));
    const qint64 blockMs = clock.elapsed(); // at least the sender's own time for block 1
    xm->stop();
    EXPECT_LE(progress.front().second, 2 * 98 * blockMs / 1000 + 1);
}

TEST_F(XModemUpload, NakedBlocksAreResentAndRetriesRestartPerBlock)
{
    // NAK, NAK, ACK for block 1; six NAKs for block 2 and six for block 3: more than ten
    // in all, so the count must restart with each new block.
    emu::XmodemReceiver::Faults faults;
    faults.nakBlock = {{1, 2}, {2, 6}, {3, 6}};
    loader->receiver.setFaults(faults);
    const QByteArray content = randomBytes(3000, 11);
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(writeFile(content)));
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(loader->receiver.image().left(3000), content);

    const Wire wire(loader->wire());
    ASSERT_EQ(wire.frames.size(), 3u + 7u + 7u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(wire.frames[size_t(i)].number, 1);
    EXPECT_EQ(wire.frames[3].number, 2);
    EXPECT_EQ(wire.frames[1].data, wire.frames[0].data);
    EXPECT_EQ(log.count("NAK"), 14);
}

TEST_F(XModemUpload, ElevenNaksAbortAfterTenResends)
{
    emu::XmodemReceiver::Faults faults;
    faults.nakBlock = {{2, 11}};
    loader->receiver.setFaults(faults);
    ASSERT_TRUE(connectLoader());
    const QString path = writeFile(randomBytes(4096, 5));
    ASSERT_TRUE(upload(path));

    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(events, "EF-");
    EXPECT_TRUE(logged("Maximum retry count reached, aborting..."));
    EXPECT_FALSE(xm->isBusy());
    const Wire wire(loader->wire());
    ASSERT_EQ(wire.frames.size(), 1u + 11u);
    EXPECT_EQ(wire.frames.back().number, 2);
    EXPECT_EQ(wire.eots, 0);

    // Nothing is retried after the failure; a new upload starts afresh and succeeds.
    loader->clearWire();
    loader->enterBootloader();
    finished.clear();
    ASSERT_TRUE(waitUntil([this] { return xm->isDeviceAvailable(); }, 2000));
    ASSERT_TRUE(upload(path));
    EXPECT_EQ(finished, std::vector<bool>{true});
}

TEST_F(XModemUpload, GarbageAnswerAbortsTheUpload)
{
    emu::XmodemReceiver::Faults faults;
    faults.answerBlockWith = {{2, char(0x5A)}};
    loader->receiver.setFaults(faults);
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(writeFile(randomBytes(5000, 9))));
    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(logged("unknown ACK code: 5A"));
    EXPECT_EQ(Wire(loader->wire()).frames.size(), 2u);
}

TEST_F(XModemUpload, AnUploadGivenUpEndsTheLoadersTransfer)
{
    // Left mid-transfer, the loader takes the next bytes on the line for the rest of the image:
    // the dongle's own frames carry 0x04, which would close the half-sent image as whole.
    const QByteArray dongleFrame = QByteArray::fromHex("55aa00000004000000053000c80d");
    struct Case {
        const char* name;
        emu::XmodemReceiver::Faults faults;
        bool stopped;
    } cases[] = {
        { "eleven NAKs", {}, false },
        { "an unknown answer", {}, false },
        { "stopped", {}, true },
    };
    cases[0].faults.nakBlock = { { 2, 11 } };
    cases[1].faults.answerBlockWith = { { 2, char(0x5A) } };
    cases[2].faults.silentBlock = { { 2, -1 } };
    const QString path = writeFile(randomBytes(4096, 5));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        loader->receiver.setFaults(c.faults);
        finished.clear();
        ASSERT_TRUE(connectLoader());
        if (c.stopped) {
            ASSERT_TRUE(xm->sendFile(path));
            ASSERT_TRUE(waitUntil([this] { return loader->receiver.framesReceived() >= 2; }, 2000));
            xm->stop();
        } else {
            ASSERT_TRUE(upload(path));
            EXPECT_EQ(finished, std::vector<bool> { false });
        }
        port->write(dongleFrame);
        ASSERT_TRUE(waitUntil([&] { return loader->wire().endsWith(dongleFrame); }, 2000));
        EXPECT_EQ(loader->receiver.state(), emu::XmodemReceiver::State::Cancelled);
        EXPECT_FALSE(loader->receiver.isComplete());
    }
}

TEST_F(XModemUpload, ALoaderThatCancelsIsNotToldAgain)
{
    // The loader ended the transfer itself: CAN CAN from the sender would only reach the dongle,
    // back out of pass-through by then, as bytes that are no frame.
    emu::XmodemReceiver::Faults faults;
    faults.answerBlockWith = { { 2, XModem::CAN } };
    loader->receiver.setFaults(faults);
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(writeFile(randomBytes(4096, 7))));
    EXPECT_EQ(finished, std::vector<bool> { false });
    EXPECT_FALSE(waitUntil([this] { return loader->wire().contains(QByteArray(2, XModem::CAN)); }, 300));
}

TEST_F(XModemUpload, UnansweredBlocksAreResentOnTimeOut)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{1, 2}};
    faults.lostAck = {{2, 1}}; // block 2 arrives but its ACK is lost: the repeat is ACKed again
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(150), scaled(100), scaled(2000) });
    const QByteArray content = randomBytes(2048, 13);
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(writeFile(content)));
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(loader->receiver.image(), content);
    EXPECT_GE(loader->receiver.duplicatesAcked(), 1);
    EXPECT_GE(Wire(loader->wire()).frames.size(), 3u + 2u);
    EXPECT_GE(log.count("XMODEM timed out"), 3);
}

TEST_F(XModemUpload, TheLateAnswerToTheLastBlockIsNotTakenForTheEotsAnswer)
{
    // Every EOT is refused: the late answer must not end the upload as a success.
    uploadWithALateAnswer(2000, emu::XmodemReceiver::EotAnswer::Nak);
    EXPECT_EQ(finished, std::vector<bool> { false });
    EXPECT_EQ(Wire(loader->wire()).eots, 11);
}

TEST_F(XModemUpload, TheLateAnswerToABlockMidFileIsNotTakenForTheNextOnes)
{
    // Success only once the EOT's own ACK is out, none still held behind the late one.
    EXPECT_EQ(uploadWithALateAnswer(4000, emu::XmodemReceiver::EotAnswer::Ack), 0);
    EXPECT_EQ(finished, std::vector<bool> { true });
    EXPECT_TRUE(loader->receiver.isComplete());
    EXPECT_EQ(Wire(loader->wire()).eots, 1);
}

TEST_F(XModemUpload, ReadyBytesDuringTheUploadDoNotDisarmTheTimeOut)
{
    // Block 1 is never answered while the loader keeps beaconing every 20 ms, more often than
    // the re-send time-out: the upload must still give up.
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{1, -1}};
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(100), scaled(50), scaled(2000) });
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(writeFile(randomBytes(100, 1))));
    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_TRUE(logged("KEEP_ALIVE"));
    EXPECT_TRUE(logged("Maximum retry count reached, aborting..."));
    EXPECT_EQ(Wire(loader->wire()).frames.size(), 11u);
}

TEST_F(XModemUpload, EotIsRepeatedOnNakOrSilence)
{
    struct Case
    {
        emu::XmodemReceiver::EotAnswer answer;
        int faults;
        bool success;
        int eots;
    };
    const Case cases[] = {
        {emu::XmodemReceiver::EotAnswer::Nak, 1, true, 2},
        {emu::XmodemReceiver::EotAnswer::Silence, 2, true, 3},
        {emu::XmodemReceiver::EotAnswer::Nak, -1, false, 11},
        {emu::XmodemReceiver::EotAnswer::Silence, -1, false, 11},
    };
    const QString path = writeFile(randomBytes(1500, 21));
    xm->setTimeoutsForTest({ scaled(150), scaled(80), scaled(2000) });
    xm->start();
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.answer) * 100 + c.faults);
        emu::XmodemReceiver::Faults faults;
        faults.eotAnswer = c.answer;
        faults.eotFaults = c.faults;
        loader->receiver.setFaults(faults);
        loader->clearWire();
        loader->enterBootloader();
        ASSERT_TRUE(waitUntil([this] { return xm->isDeviceAvailable(); }, 2000));
        finished.clear();
        errors = 0;
        ASSERT_TRUE(upload(path));
        EXPECT_EQ(finished, std::vector<bool>{c.success});
        EXPECT_EQ(errors, c.success ? 0 : 1);
        const Wire wire(loader->wire());
        if (c.success)
            EXPECT_GE(wire.eots, c.eots); // a late answer on a loaded machine costs one more
        else
            EXPECT_EQ(wire.eots, c.eots); // the first EOT and ten repeats
        EXPECT_EQ(wire.frames.size(), 2u);
    }
}

TEST_F(XModemUpload, ImmediateFailuresEndWithErrorAndFinished)
{
    // No loader has answered.
    xm->start();
    const QString path = writeFile(randomBytes(10, 2));
    EXPECT_TRUE(xm->sendFile(path));
    EXPECT_EQ(events, "EF-");
    EXPECT_TRUE(logged("Remote device not available"));
    EXPECT_TRUE(loader->wire().isEmpty());

    // A missing file.
    ASSERT_TRUE(connectLoader());
    events.clear();
    EXPECT_TRUE(xm->sendFile(dir.filePath("missing.enc")));
    EXPECT_EQ(events, "EF-");
    EXPECT_TRUE(loggedStarting("failed to open file"));

    // The port closed under the sender.
    events.clear();
    port->close();
    EXPECT_TRUE(xm->sendFile(path));
    EXPECT_EQ(events, "EF-");
    EXPECT_TRUE(logged("Serialport not open, file sending aborted"));
    EXPECT_FALSE(xm->isBusy());
}

TEST_F(XModemUpload, FileShrinkingMidUploadFailsInsteadOfSendingLess)
{
    const QByteArray content = randomBytes(3 * 1024, 4);
    const QString path = writeFile(content);
    loader->tap = [&](const QByteArray&) {
        if (loader->wire().size() >= 1029)
            QFile::resize(path, 1500);
    };
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(upload(path));
    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(loggedStarting("XMODEM: failed to read file"));
    EXPECT_EQ(Wire(loader->wire()).eots, 0);
}

TEST_F(XModemUpload, SendFileWhileBusyIsRefusedWithoutSignals)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{2, 1}}; // holds the upload for one time-out
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(300), scaled(250), scaled(2000) });
    const QByteArray content = randomBytes(4000, 6);
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(xm->sendFile(writeFile(content)));
    ASSERT_TRUE(xm->isBusy());
    EXPECT_FALSE(xm->sendFile(writeFile(randomBytes(10, 1), "other.enc")));
    EXPECT_TRUE(events.isEmpty());
    ASSERT_TRUE(waitUntil([this] { return !finished.empty(); }, 5000));
    spin(50);
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(loader->receiver.image().left(4000), content);
}

TEST_F(XModemUpload, StopDuringUploadEndsItQuietly)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{2, -1}};
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(300), scaled(300), scaled(2000) });
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(xm->sendFile(writeFile(randomBytes(5000, 8))));
    ASSERT_TRUE(waitUntil([this] { return loader->wire().size() >= 2 * 1029; }, 2000));
    log.clear();
    xm->stop();
    EXPECT_FALSE(xm->isBusy());
    EXPECT_FALSE(xm->isDeviceAvailable());
    EXPECT_EQ(disconnected, 1);
    // The loader is told, and then nothing more is written.
    ASSERT_TRUE(waitUntil([this] { return loader->wire().endsWith(QByteArray(2, XModem::CAN)); }, 2000));
    const int wireBefore = loader->wire().size();
    spin(500);
    EXPECT_TRUE(finished.empty());
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(loader->wire().size(), wireBefore);
    EXPECT_FALSE(logged("XMODEM timed out"));
}

TEST_F(XModemUpload, SenderDeletedInsideItsOwnFinishedHandler)
{
    for (bool deferred : {false, true}) {
        SCOPED_TRACE(deferred);
        if (!xm)
            makeSender();
        finished.clear();
        QObject::connect(xm, &XModem::uploadFinished, [this, deferred](bool) {
            if (deferred)
                xm->deleteLater();
            else
                delete xm.data();
        });
        ASSERT_TRUE(connectLoader());
        ASSERT_TRUE(upload(writeFile(randomBytes(1200, 12))));
        EXPECT_EQ(finished, std::vector<bool>{true});
        EXPECT_TRUE(waitUntil([this] { return xm.isNull(); }, 1000));
    }
    // Deleted from its uploadError handler during a failure: no uploadFinished after that.
    makeSender();
    finished.clear();
    QObject::connect(xm, &XModem::uploadError, [this] { delete xm.data(); });
    xm->start();
    xm->sendFile(writeFile(QByteArray("x"), "small.enc")); // no receiver seen yet
    EXPECT_TRUE(xm.isNull());
    EXPECT_TRUE(finished.empty());
}

TEST_F(XModemUpload, ALiveLineWhoseReadsKeepFailingIsReadAgainAfterGrowingPauses)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = { { 1, -1 } };
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(3000), scaled(3000), scaled(3000) });
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(xm->sendFile(writeFile(randomBytes(100, 3))));
    ASSERT_TRUE(waitUntil([this] { return loader->wire().size() >= 1029; }, 2000));
    // A directory takes the place of the port's descriptor: it polls readable for ever while
    // every read of it fails, and the line's node is still there.
    const int fd = int(port->handle());
    const int saved = ::dup(fd);
    const int directory = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::dup2(directory, fd);
    ::close(directory);
    int failures = 0;
    QObject::connect(port.get(), &QSerialPort::errorOccurred,
        [&failures](QSerialPort::SerialPortError e) { failures += e == QSerialPort::ReadError ? 1 : 0; });
    QElapsedTimer clock;
    clock.start();
    spin(300);
    const qint64 spent = clock.elapsed();
    ::dup2(saved, fd);
    ::close(saved);
    // Pauses of 5, 10, 20, ... up to 250 ms: a handful of reads, not one per pass of the event
    // loop. A loaded machine stretches the spin; each 250 ms beyond it allows one read more.
    EXPECT_GE(failures, 2);
    EXPECT_LE(failures, 12 + spent / 250) << "in " << spent << " ms";
    EXPECT_TRUE(xm->isBusy());
    EXPECT_TRUE(finished.empty());
}

TEST_F(XModemUpload, LineVanishingMidUploadEndsItOnce)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{2, -1}};
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(3000), scaled(3000), scaled(3000) });
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(xm->sendFile(writeFile(randomBytes(5000, 8))));
    ASSERT_TRUE(waitUntil([this] { return loader->wire().size() >= 2 * 1029; }, 2000));
    QElapsedTimer clock;
    clock.start();
    loader.reset();
    pty.closeMaster(); // unplugged: the port sees a hang-up
    ASSERT_TRUE(waitUntil([this] { return !finished.empty(); }, 2500));
    EXPECT_LT(clock.elapsed(), scaled(2500)); // ended by the line's loss, not by a time-out
    EXPECT_TRUE(loggedStarting("XMODEM: serial port error"));
    spin(100);
    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(xm->isBusy());
    // The dongle and its port go away afterwards, port first.
    port.reset();
    spin(50);
    delete xm.data();
    EXPECT_EQ(finished.size(), 1u);
}

TEST_F(XModemUpload, PortDeletedMidUploadThenSender)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{2, -1}};
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(200), scaled(100), scaled(2000) });
    ASSERT_TRUE(connectLoader());
    ASSERT_TRUE(xm->sendFile(writeFile(randomBytes(5000, 8))));
    ASSERT_TRUE(waitUntil([this] { return loader->wire().size() >= 2 * 1029; }, 2000));
    port.reset();
    // The pending re-send finds no port: the upload fails once, nothing is touched.
    ASSERT_TRUE(waitUntil([this] { return !finished.empty(); }, 2000));
    spin(300);
    EXPECT_EQ(finished, std::vector<bool>{false});
    xm->stop();
    delete xm.data();
}

TEST_F(XModemUpload, SenderDeletedMidUploadEmitsNothing)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{2, -1}};
    loader->receiver.setFaults(faults);
    ASSERT_TRUE(connectLoader());
    const int disconnectedBefore = disconnected;
    ASSERT_TRUE(xm->sendFile(writeFile(randomBytes(5000, 8))));
    ASSERT_TRUE(waitUntil([this] { return loader->wire().size() >= 2 * 1029; }, 2000));
    delete xm.data();
    spin(200);
    EXPECT_TRUE(finished.empty());
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(disconnected, disconnectedBefore);
}

TEST_F(XModemUpload, BeaconWatchWhileIdle)
{
    xm->setTimeoutsForTest({ scaled(1000), scaled(250), scaled(200) });
    xm->start();
    // Two ready bytes in one read count as one; the first does not arm the watch.
    pty.write("CC");
    ASSERT_TRUE(waitUntil([this] { return connected == 1; }, 1000));
    spin(300); // longer than the 200 ms beacon watch
    EXPECT_TRUE(xm->isDeviceAvailable());
    EXPECT_EQ(disconnected, 0);
    // A second ready byte arms it; silence then forgets the receiver.
    pty.write("C");
    ASSERT_TRUE(waitUntil([this] { return disconnected == 1; }, 1000));
    EXPECT_FALSE(xm->isDeviceAvailable());
    EXPECT_EQ(connected, 1);
    // Another byte while a receiver is present forgets it too.
    pty.write("C");
    ASSERT_TRUE(waitUntil([this] { return connected == 2; }, 1000));
    pty.write("x");
    ASSERT_TRUE(waitUntil([this] { return disconnected == 2; }, 1000));
    // Without a receiver, other bytes are ignored.
    pty.write("xyz");
    spin(50);
    EXPECT_EQ(connected, 2);
    EXPECT_EQ(disconnected, 2);
}

TEST_F(XModemUpload, RecoveryWakesADeadLinkAndTheUploadFollows)
{
    loader->enterDead();
    xm->start();
    xm->enableRecoveryMode();
    EXPECT_TRUE(xm->isRecoveryModeEnabled());
    ASSERT_TRUE(waitUntil([this] { return connected == 1; }, 3000));
    EXPECT_FALSE(xm->isRecoveryModeEnabled());
    EXPECT_EQ(loader->receiver.state(), emu::XmodemReceiver::State::Waiting);
    // The string was written again after every completed write.
    EXPECT_GE(loader->wire().count("Z3Q"), 2);
    // The line falls quiet once the loader answered.
    spin(50);
    const int wireAfter = loader->wire().size();
    spin(100);
    EXPECT_EQ(loader->wire().size(), wireAfter);

    const QByteArray content = randomBytes(2100, 17);
    loader->clearWire();
    ASSERT_TRUE(upload(writeFile(content)));
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(loader->receiver.image().left(2100), content);
    EXPECT_EQ(Wire(loader->wire()).other, 0);
}

TEST_F(XModemUpload, StopEndsRecoveryMode)
{
    loader->enterDead();
    loader->receiver.enterDead("NEVER"); // this LINK never wakes
    xm->start();
    xm->enableRecoveryMode();
    ASSERT_TRUE(waitUntil([this] { return loader->wire().size() > 30; }, 1000));
    xm->stop();
    EXPECT_FALSE(xm->isRecoveryModeEnabled());
    spin(50);
    const int wireAfter = loader->wire().size();
    spin(100);
    EXPECT_EQ(loader->wire().size(), wireAfter);
}

TEST_F(XModemUpload, RecoveryEndsAtTheNextReadyByteWhenTheLoaderIsAlreadyThere)
{
    ASSERT_TRUE(connectLoader());
    xm->enableRecoveryMode();
    ASSERT_TRUE(waitUntil([this] { return !xm->isRecoveryModeEnabled(); }, 1000));
    EXPECT_EQ(connected, 1);
    spin(50);
    const int wireAfter = loader->wire().size();
    spin(100);
    EXPECT_EQ(loader->wire().size(), wireAfter);

    // Nor does an upload started at once run with the recovery string between its blocks.
    loader->stopBeacon();
    xm->enableRecoveryMode();
    loader->clearWire();
    ASSERT_TRUE(upload(writeFile(randomBytes(3000, 5))));
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_FALSE(xm->isRecoveryModeEnabled());
    EXPECT_EQ(loader->wire().right(1), QByteArray(1, XModem::EOT));
    EXPECT_EQ(loader->wire().count("Z3Q"), loader->wire().left(loader->wire().indexOf(XModem::STX)).count("Z3Q"));
}

TEST_F(XModemUpload, RecoveryEndsAtTheReadyByteBehindTheLoadersNak)
{
    // The woken loader NAKs the recovery string, then asks for data, both in one read.
    loader.reset();
    QByteArray heard;
    pty.setReader([&heard](const QByteArray& in) { heard += in; });
    xm->setTimeoutsForTest({ scaled(1000), scaled(250), scaled(200) });
    xm->start();
    xm->enableRecoveryMode();
    ASSERT_TRUE(waitUntil([&heard] { return heard.contains("Z3Q"); }, 1000));
    pty.write(QByteArray(1, XModem::NAK) + XModem::READY + XModem::NAK + XModem::READY);
    ASSERT_TRUE(waitUntil([this] { return connected > 0; }, 1000));
    EXPECT_FALSE(xm->isRecoveryModeEnabled());
    spin(50);
    const int heardAfter = heard.size();
    spin(300); // longer than the beacon watch, which the first ready byte does not arm
    EXPECT_EQ(heard.size(), heardAfter);
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(disconnected, 0);
    EXPECT_TRUE(xm->isDeviceAvailable());
    pty.setReader({});
}

TEST_F(XModemUpload, RecoveryModeIsRefusedDuringAnUpload)
{
    emu::XmodemReceiver::Faults faults;
    faults.silentBlock = {{2, 1}}; // holds the upload for one time-out
    loader->receiver.setFaults(faults);
    xm->setTimeoutsForTest({ scaled(300), scaled(250), scaled(2000) });
    const QByteArray content = randomBytes(4000, 9);
    ASSERT_TRUE(connectLoader());
    loader->clearWire();
    ASSERT_TRUE(xm->sendFile(writeFile(content)));
    ASSERT_TRUE(xm->isBusy());
    xm->enableRecoveryMode();
    EXPECT_FALSE(xm->isRecoveryModeEnabled());
    ASSERT_TRUE(waitUntil([this] { return !finished.empty(); }, 5000));
    spin(50);
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(loader->receiver.image().left(4000), content);
    EXPECT_EQ(loader->wire().count("Z3Q"), 0);
    EXPECT_EQ(Wire(loader->wire()).other, 0);
}
