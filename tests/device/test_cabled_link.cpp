// The LINK on the dongle's cable, reached in pass-through: a Link for address 0 takes the answers
// it sends from its own address, and a firmware upload ends as succeeded when the loader
// acknowledges the end of transmission only after a second of silence, or when a read fails on
// the live line during the upload.
#include "test_headset_fixture.h"

#include "device/Link.h"
#include "protocol/SerialLine.h"
#include "protocol/XModem.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryDir>

using namespace devtest;

namespace
{

constexpr uint8_t CabledAddress = 9;

class CabledLinkTest : public DeviceTest
{
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        emulator->updateCabledLink([](emu::CabledLinkModel& m) { m.address = CabledAddress; });
        ASSERT_TRUE(startDongle());
        int code = -1;
        dongle->enterPasshroughtMode([&code](DongleResult r) { code = r.code; });
        ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
        ASSERT_EQ(code, 0);
    }

    // Starts the LINK's loader (at a tenth of every period) and a sender for a file of size
    // bytes, ready for sendFile(path) once the loader is seen.
    void startLoader(int size)
    {
        emulator->setTimeScale(Scale);
        Link cabled(*dongle, 0x1234, Link::AnyAddress);
        int code = -1;
        cabled.startBootloader([&code](DongleResult r) { code = r.code; });
        ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
        ASSERT_EQ(code, 0);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
        file.close();
        sender = dongle->startXmodem();
        ASSERT_NE(sender, nullptr);
        sender->setTimeoutsForTest({ testutil::scaled(int(XModem::RESPONSE_TIME * Scale)),
            testutil::scaled(int(XModem::RETRY_RESPONSE_TIME * Scale)),
            testutil::scaled(int(XModem::KEEP_ALIVE_TIME * Scale)) });
        QObject::connect(sender, &XModem::uploadFinished, [this](bool ok) { finished << ok; });
        sender->start();
        ASSERT_TRUE(testutil::waitUntil([&] { return sender->isDeviceAvailable(); }, 2000));
    }

    static constexpr double Scale = 0.1;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fw.enc"));
    XModem* sender = nullptr;
    QList<bool> finished;
};

} // namespace

TEST_F(CabledLinkTest, ALinkForAddressZeroTakesTheAnswersOfTheLinkOnTheCable)
{
    Link cabled(*dongle, 0x1234, Link::AnyAddress);
    bool done = false;
    int code = -1;
    cabled.queryNPP(
        [&](NPP* npp, DongleResult r) {
            code = npp ? r.code : -2;
            done = true;
        },
        true);
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(cabled.serial(), QStringLiteral("LK19000442"));
    EXPECT_EQ(cabled.version(), DongleVersion(1, 11, 5, 88));
    // It answered from its own address.
    int source = -1;
    for (const emu::Sent& sent : emulator->sent())
        if (sent.frame.pid == emu::pid::NPP)
            source = sent.frame.src;
    EXPECT_EQ(source, CabledAddress);
}

TEST_F(CabledLinkTest, AnEotAcknowledgedOnlyAfterASilentSecondEndsTheUploadAsSucceeded)
{
    // The loader's second of silence is 100 ms, and so are the sender's time-outs.
    emulator->updateCabledLink([](emu::CabledLinkModel& m) {
        m.eotAnswer = emu::CabledLinkModel::EotAnswer::Nak;
        m.eotFaults = 1;
        m.eotAckAfterSilence = true;
    });
    startLoader(1500);
    ASSERT_TRUE(sender->sendFile(path));
    ASSERT_TRUE(testutil::waitUntil([&] { return !finished.isEmpty(); }, 5000));
    EXPECT_EQ(finished, QList<bool> { true });
    EXPECT_EQ(emulator->uploadsCompleted(), 1);
    dongle->stopXmodem();
}

TEST_F(CabledLinkTest, AReadFailureOnTheLiveLineDuringAnUploadDoesNotEndIt)
{
    startLoader(4000);
    QSocketNotifier* watcher = nullptr;
    for (QSocketNotifier* n : dongle->port()->findChildren<QSocketNotifier*>())
        if (n->type() == QSocketNotifier::Read)
            watcher = n;
    ASSERT_NE(watcher, nullptr);
    int failures = 0;
    QObject::connect(dongle->port(), &QSerialPort::errorOccurred,
        [&failures](QSerialPort::SerialPortError e) { failures += SerialLine::isReadFailure(e) ? 1 : 0; });
    ASSERT_TRUE(sender->sendFile(path));
    // The read watcher wakes with nothing to read and errno at EAGAIN, as after a wake-up that
    // another read beat to the data, until the port has reported such a failure.
    ASSERT_TRUE(testutil::waitUntil(
        [&] {
            if (failures == 0 && sender->isBusy() && watcher->isEnabled()) {
                QEvent activation(QEvent::SockAct);
                errno = EAGAIN;
                QCoreApplication::sendEvent(watcher, &activation);
            }
            return !finished.isEmpty();
        },
        5000));
    EXPECT_GE(failures, 1);
    EXPECT_EQ(finished, QList<bool> { true });
    EXPECT_EQ(emulator->uploadsCompleted(), 1);
    dongle->stopXmodem();
}
