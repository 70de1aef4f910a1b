// The LINK on the dongle's cable, reached in pass-through: a Link for address 0 takes the answers
// it sends from its own address, and a firmware upload to a loader that acknowledges the end of
// transmission only after a second of silence ends as succeeded.
#include "test_headset_fixture.h"

#include "device/Link.h"
#include "protocol/XModem.h"

#include <QFile>
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
    // A tenth of every period: the loader's second of silence is 100 ms, and so are the
    // sender's time-outs.
    constexpr double scale = 0.1;
    emulator->setTimeScale(scale);
    emulator->updateCabledLink([](emu::CabledLinkModel& m) {
        m.eotAnswer = emu::CabledLinkModel::EotAnswer::Nak;
        m.eotFaults = 1;
        m.eotAckAfterSilence = true;
    });
    Link cabled(*dongle, 0x1234, Link::AnyAddress);
    int code = -1;
    cabled.startBootloader([&code](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    ASSERT_EQ(code, 0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fw.enc"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1500, 'x'));
    file.close();

    XModem* sender = dongle->startXmodem();
    ASSERT_NE(sender, nullptr);
    sender->setTimeoutsForTest({ int(XModem::RESPONSE_TIME * scale), int(XModem::RETRY_RESPONSE_TIME * scale),
        int(XModem::KEEP_ALIVE_TIME * scale) });
    QList<bool> finished;
    QObject::connect(sender, &XModem::uploadFinished, [&finished](bool ok) { finished << ok; });
    sender->start();
    ASSERT_TRUE(testutil::waitUntil([&] { return sender->isDeviceAvailable(); }, 2000));
    ASSERT_TRUE(sender->sendFile(path));
    ASSERT_TRUE(testutil::waitUntil([&] { return !finished.isEmpty(); }, 5000));
    EXPECT_EQ(finished, QList<bool> { true });
    EXPECT_EQ(emulator->uploadsCompleted(), 1);
    dongle->stopXmodem();
}
