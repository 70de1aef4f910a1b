// The profile manager writing profiles to a dongle on the emulator's pseudo-terminal.
#include "app/Settings.h"
#include "common/dongle_fixture.h"
#include "common/qt_wait.h"
#include "device/Dongle.h"
#include "tools/emulator/Emulator.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

struct QuietDelegate : DongleDelegate {
    void progressUpdate(Progress::Context const&) override {}
    void dongleUpdated(Dongle*, DongleChangeMask) override {}
    void headsetFound(Dongle*, Headset*) override {}
    void headsetLost(Dongle*, Headset*) override {}
    void headsetUpdated(Dongle*, Headset*, HeadsetChangeMask) override {}
    void deviceFound(Dongle*, NPP const&) override {}
    void headsetRssiUpdatede(Dongle*, unsigned short) override {}
    void headsetChannelChanged(Dongle*, Headset*, int, int) override {}
    void headsetStatusChanged(Dongle*, Headset*, bool, bool) override {}
    void dongleError(Dongle*, DongleResult result) override { last = result; }
    DongleResult* lastError() override { return &last; }
    void playAudioFeedback() override {}
    DongleResult last;
};

class ProfileUploadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        emu::Options options;
        options.timeScale = 0.2;
        ASSERT_NO_FATAL_FAILURE(env.open(options, &delegate));
        ASSERT_EQ(env.start(), 0);

        settings = std::make_unique<Settings>(dir.filePath("OrvixTools.conf"), nullptr);
        settings->setDongleProvider([this]() { return dongle.get(); });
    }

    void TearDown() override
    {
        settings.reset();
        env.close(HasFailure());
    }

    // The distinct DCP payloads received since mark, in order (repeat copies dropped).
    QList<QByteArray> writesSince(int mark) const
    {
        QList<QByteArray> out;
        for (const emu::Received& r : emulator->received())
            if (r.seq >= mark && r.frame.pid == emu::pid::DCP && r.copy == 1)
                out << r.frame.payload;
        return out;
    }

    int commandCount(int command, int mark) const
    {
        int n = 0;
        for (const QByteArray& write : writesSince(mark))
            n += write.at(0) == char(command);
        return n;
    }

    static QByteArray scp(int command, int lsb, int msb)
    {
        QByteArray b;
        b.append(char(command)).append(char(lsb)).append(char(msb));
        return b;
    }

    // An unanswered write fails within a few milliseconds.
    void failFast()
    {
        Dongle::Timing timing;
        timing.timeoutScale = 0.05 * testutil::timeScale();
        timing.repeatIntervalMs = 5;
        timing.repeatCount = 2;
        dongle->setTiming(timing);
    }

    // Runs an upload; returns the result code, -1 when done was never called.
    int waitFor(int& code, int ms = 5000)
    {
        testutil::waitUntil([&] { return code != -1; }, ms);
        return code;
    }

    QTemporaryDir dir;
    QuietDelegate delegate;
    testutil::EmulatedDongle env;
    std::unique_ptr<emu::Emulator>& emulator = env.emulator;
    std::unique_ptr<Dongle>& dongle = env.dongle;
    std::unique_ptr<Settings> settings;
};

} // namespace

TEST_F(ProfileUploadTest, ApplyWritesTheSevenParametersAndStoresTheSelection)
{
    const MouseProfile custom("Custom", MouseMode(2), true, 3000, true, false, 0.5f, 0.8f, 0.6f, false, 1.2f, 0x20);
    ASSERT_TRUE(settings->addProfile(custom));
    int changedSignals = 0;
    QObject::connect(settings.get(), &ProfileManager::selectedProfileChangedSignal, [&] { ++changedSignals; });

    const int mark = emulator->mark();
    int code = -1;
    ASSERT_TRUE(settings->apply(3, [&code](DongleResult r) { code = r.code; }));
    ASSERT_EQ(waitFor(code), 0);

    const QList<QByteArray> expected { scp(25, 0, 2), scp(18, 0, 1),  scp(3, 0, 50),    scp(2, 60, 80),
                                       scp(28, 0, 0), scp(26, 0, 100), scp(24, 0, 0x20) };
    EXPECT_EQ(writesSince(mark), expected);
    const emu::DongleModel stored = emulator->dongle();
    EXPECT_EQ(stored.params.at(25), std::make_pair(uint8_t(0), uint8_t(2)));
    EXPECT_EQ(stored.params.at(2), std::make_pair(uint8_t(60), uint8_t(80)));
    EXPECT_EQ(stored.params.at(24), std::make_pair(uint8_t(0), uint8_t(0x20)));
    EXPECT_TRUE(stored.autoZero);

    EXPECT_EQ(settings->selectedIndex(), 3);
    EXPECT_EQ(changedSignals, 1);
    Settings reread(dir.filePath("OrvixTools.conf"), nullptr);
    EXPECT_EQ(reread.selectedProfile()->name(), "Custom");
}

TEST_F(ProfileUploadTest, ApplySelectedAfterEditKeepsTheName)
{
    int code = -1;
    ASSERT_TRUE(settings->setSelectedProfile("Tremor"));
    MouseProfile edited(*settings->selectedProfile());
    edited.setProfileName("ignored");
    edited.setMouseSpeedPercent(0.994f);
    edited.setTremorFilter(-0.1f);
    const int mark = emulator->mark();
    ASSERT_TRUE(settings->apply(edited, [&code](DongleResult r) { code = r.code; }));
    ASSERT_EQ(waitFor(code), 0);
    const QList<QByteArray> writes = writesSince(mark);
    ASSERT_EQ(writes.size(), 7);
    EXPECT_EQ(writes[2], scp(3, 0, 0));
    EXPECT_EQ(writes[5], scp(26, 0, 99));
    EXPECT_EQ(settings->selectedProfile()->name(), "Tremor");
    EXPECT_FLOAT_EQ(settings->selectedProfile()->mouseSpeedPercent(), 0.994f);
}

TEST_F(ProfileUploadTest, UnansweredParameterLeavesSelectionAndStoreAlone)
{
    failFast();
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(26)));

    ASSERT_TRUE(settings->setSelectedProfile("Restricted"));
    const QVariant before = settings->store()->value("profile/list");
    int changedSignals = 0;
    QObject::connect(settings.get(), &ProfileManager::selectedProfileChangedSignal, [&] { ++changedSignals; });
    int code = -1;
    ASSERT_TRUE(settings->apply(MouseProfile::Tremor, [&code](DongleResult r) { code = r.code; }));
    EXPECT_EQ(waitFor(code), 4);
    EXPECT_EQ(settings->selectedProfile()->name(), "Restricted");
    EXPECT_TRUE(settings->selectedProfile()->isEqual(MouseProfile::Restricted, true));
    EXPECT_EQ(changedSignals, 0);
    EXPECT_EQ(settings->store()->value("profile/list"), before);
    // The list stopped at the unanswered write: 24 was never sent.
    EXPECT_EQ(emulator->receivedCount(emu::FrameFilter::dcp(24)), 0);
}

TEST_F(ProfileUploadTest, NoDongleRefuses)
{
    settings->setDongleProvider([]() -> Dongle* { return nullptr; });
    int calls = 0;
    EXPECT_FALSE(settings->applySelected([&calls](DongleResult) { ++calls; }));
    EXPECT_FALSE(settings->test(MouseProfile::Normal, [&calls](DongleResult) { ++calls; }));
    testutil::spin(20);
    EXPECT_EQ(calls, 0);
}

TEST_F(ProfileUploadTest, ARefusedApplyLeavesTheStoreAsTheDongleHasItAfterAnotherUploadSaved)
{
    // A kept trial: the dongle takes the selected profile back (a save), not the tried one.
    failFast();
    auto speed77 = [](emu::Frame const& f) { return f.payload.size() > 2 && f.payload.at(2) == 77; };
    emulator->addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(26).where(speed77)));
    ASSERT_TRUE(settings->setSelectedProfile("Restricted"));
    MouseProfile tried(MouseProfile::Restricted);
    tried.setMouseSpeedPercent(0.77f);
    int reverted = -1, applied = -1;
    ASSERT_TRUE(settings->applySelected([&reverted](DongleResult r) { reverted = r.code; }));
    ASSERT_TRUE(settings->apply(tried, [&applied](DongleResult r) { applied = r.code; }));
    EXPECT_EQ(waitFor(reverted), 0);
    EXPECT_EQ(waitFor(applied), 4);
    Settings reread(dir.filePath("OrvixTools.conf"), nullptr);
    EXPECT_TRUE(reread.selectedProfile()->isEqual(MouseProfile::Restricted, true));
}

// The seven parameters the dongle model holds equal those of profile.
static void expectDongleHolds(emu::DongleModel const& model, MouseProfile const& profile)
{
    auto byte = [](float f) { return uint8_t(std::min(100.f, std::max(0.f, f * 100.f)) + 0.5f); };
    EXPECT_EQ(model.params.at(25).second, uint8_t(profile.controlMode()));
    EXPECT_EQ(model.autoZero, profile.autoZeroEnable());
    EXPECT_EQ(model.params.at(3).second, byte(profile.tremorFilter()));
    EXPECT_EQ(model.params.at(2), std::make_pair(byte(profile.verticalViewAnglePercent()),
                                                 byte(profile.horizontalViewAnglePercent())));
    EXPECT_EQ(model.params.at(26).second, byte(profile.mouseSpeedPercent()));
    EXPECT_EQ(model.params.at(24).second, uint8_t(profile.ACATKeyCode()));
}

TEST_F(ProfileUploadTest, AnUploadFailingPartWayLeavesTheDongleWithTheShownProfileAndTheStoreAlone)
{
    // The dongle takes Tremor's speed but its echo never comes: the six writes before it are in.
    failFast();
    auto tremorSpeed = [](emu::Frame const& f) { return f.payload.size() > 2 && f.payload.at(2) == 25; };
    const int rule = emulator->addFault(emu::FaultRule::dropReply(emu::FrameFilter::dcp(26).where(tremorSpeed), -1));
    ASSERT_TRUE(settings->setSelectedProfile("Restricted"));
    settings->sync();
    const QVariant list = settings->store()->value("profile/list");
    const QVariant selected = settings->store()->value("profile/selected");
    int mark = emulator->mark();
    DongleResult told;
    int code = -1;
    auto done = [&](DongleResult r) { told = r; code = r.code; };

    // A list click and an edited profile applied: both fail, the dongle ends holding Restricted.
    ASSERT_TRUE(settings->apply(settings->indexOf("Tremor"), done));
    EXPECT_EQ(waitFor(code), 4);
    EXPECT_FALSE(ProfileManager::settingsMayDiffer(told));
    expectDongleHolds(emulator->dongle(), MouseProfile::Restricted);
    EXPECT_EQ(commandCount(24, mark), 1);
    code = -1;
    ASSERT_TRUE(settings->apply(MouseProfile::Tremor, done));
    EXPECT_EQ(waitFor(code), 4);
    expectDongleHolds(emulator->dongle(), MouseProfile::Restricted);
    EXPECT_EQ(settings->selectedProfile()->name(), "Restricted");
    EXPECT_TRUE(settings->selectedProfile()->isEqual(MouseProfile::Restricted, true));
    EXPECT_EQ(settings->store()->value("profile/list"), list);
    EXPECT_EQ(settings->store()->value("profile/selected"), selected);

    // The write-back fails too: told once, nothing written a third time, the store untouched.
    emulator->removeFault(rule);
    emulator->addFault(emu::FaultRule::dropReply(emu::FrameFilter::dcp(26), -1));
    mark = emulator->mark();
    code = -1;
    ASSERT_TRUE(settings->applySelected(done));
    EXPECT_EQ(waitFor(code), 4);
    EXPECT_TRUE(ProfileManager::settingsMayDiffer(told));
    EXPECT_TRUE(told.text.contains(ProfileManager::settingsMayDifferText()));
    testutil::spin(50);
    EXPECT_EQ(commandCount(25, mark), 2);
    EXPECT_EQ(settings->store()->value("profile/list"), list);
    EXPECT_EQ(settings->store()->value("profile/selected"), selected);
}
