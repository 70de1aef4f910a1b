// The director's answers to the headset's events over the device emulator (channel sounds,
// the zeroing countdown, the communication-failure question), its windows, language and
// single-instance server, and a whole run: start, headset found, profile applied, headset
// lost, unplug.
#include "DirectorEmulation.h"

#include <QDialogButtonBox>
#include <QLocalSocket>
#include <QLocale>
#include <QPushButton>

#include <gtest/gtest.h>

#include <limits>

using namespace directortest;
using testutil::spin;
using testutil::waitUntil;

namespace {

// A started director with the emulator's dongle connected and its headset running.
struct RunningHeadset : EmulatedDongle {
    OrvixDirector* d = nullptr;
    std::unique_ptr<Recorder> r;

    bool bringUp(bool headsetRuns = true, std::function<void(emu::HeadsetModel&)> change = {})
    {
        emulator.addHeadset();
        if (change)
            emulator.updateHeadset(change);
        if (!start())
            return false;
        d = h.create(true, 5);
        r = std::make_unique<Recorder>(d);
        d->start();
        if (!r->waitConnected(1))
            return false;
        if (!headsetRuns)
            return true;
        return waitUntil([&] { return d->headset() && d->headset()->isRunning(); }, 5000);
    }

    MouseProfile* profile() { return d->settings()->selectedProfile(); }
};

} // namespace

TEST(DirectorChannel, SoundsFollowTheChannelsOfThisComputer)
{
    RunningHeadset t;
    ASSERT_TRUE(t.bringUp());
    Dongle* dongle = t.d->dongle();
    Headset* headset = t.d->headset();
    // The emulated map: 0 is this computer (the dongle at address 4), 1 a LINK.
    ASSERT_EQ(headset->channelMap().size(), 2);
    t.h.ui->played.clear();
    t.r->channels.clear();

    t.d->headsetChannelChanged(dongle, headset, 1, 0);
    t.d->headsetChannelChanged(dongle, headset, 0, 1);
    EXPECT_EQ(t.h.ui->played, (QList<int>{DirectorUi::ChannelActiveSample, DirectorUi::ChannelPassiveSample}));
    // The signal carries the channel the headset left.
    EXPECT_EQ(t.r->channels, (QList<int>{1, 0}));

    // No entry, or an index past either end of the map: no sound, the signal all the same.
    t.h.ui->played.clear();
    t.d->headsetChannelChanged(dongle, headset, -1, 1);
    t.d->headsetChannelChanged(dongle, headset, 2, -1);
    t.d->headsetChannelChanged(dongle, headset, 8, 2);
    t.d->headsetChannelChanged(dongle, headset, -5, -2);
    EXPECT_TRUE(t.h.ui->played.isEmpty());
    EXPECT_EQ(t.r->channels.size(), 6);

    // The headset itself switching: to the LINK and back.
    t.r->channels.clear();
    t.emulator.setHeadsetControl(3, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return !t.h.ui->played.isEmpty(); }, 3000));
    EXPECT_EQ(t.h.ui->played, QList<int>{DirectorUi::ChannelPassiveSample});
    EXPECT_EQ(t.r->channels, QList<int>{0});
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->played.size() == 2; }, 3000));
    EXPECT_EQ(t.h.ui->played.last(), DirectorUi::ChannelActiveSample);
    EXPECT_EQ(t.r->channels.last(), 1);
}

TEST(DirectorCountdown, RunsOnlyWithoutAutoZeroWhileThisComputerIsControlled)
{
    RunningHeadset t;
    ASSERT_TRUE(t.bringUp());
    ASSERT_TRUE(t.profile()->autoZeroEnable());

    // Auto-zero on: the status is forwarded, no countdown.
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.r->statuses == QList<bool>{true}; }, 3000));
    EXPECT_TRUE(t.h.ui->countdowns.isEmpty());
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.r->statuses.size() == 2; }, 3000));

    // Auto-zero off: active on this computer starts the countdown with the profile's values.
    t.profile()->setAutoZeroEnable(false);
    t.profile()->setZeroTimeInterval(3000);
    t.profile()->setVisualFeedback(false);
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 1; }, 3000));
    EXPECT_FALSE(t.h.ui->countdowns.first().visual);
    EXPECT_EQ(t.h.ui->countdowns.first().milliseconds, 3000);

    // Its end zeroes the mouse once.
    const int zeros = t.emulator.dongle().zeroCount;
    t.h.ui->finishCountdown();
    ASSERT_TRUE(waitUntil([&] { return t.emulator.dongle().zeroCount == zeros + 1; }, 3000));

    // Passive while counting: aborted.
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.r->statuses.size() == 4; }, 3000));
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 2; }, 3000));
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->crossAborted == 1; }, 3000));

    // Active on the LINK: no countdown.
    t.emulator.setHeadsetControl(3, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.r->statuses.size() == 7; }, 3000));
    EXPECT_EQ(t.h.ui->countdowns.size(), 2);
}

TEST(DirectorCountdown, AnIntervalOutOfRangeCountsTheDefaultAndKeepsTheProfile)
{
    RunningHeadset t;
    ASSERT_TRUE(t.bringUp());
    t.profile()->setAutoZeroEnable(false);
    const struct {
        int stored, counted;
    } cases[] = { { 0, 0 }, { 59999, 59999 }, { 60000, 5000 }, { 3600000 * 24, 5000 }, { -1, 5000 },
        { std::numeric_limits<int>::min(), 5000 } };
    for (const auto& c : cases) {
        t.profile()->setZeroTimeInterval(c.stored);
        LogCapture log;
        t.h.ui->countdowns.clear();
        t.emulator.setHeadsetControl(4, 1, 1);
        ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 1; }, 3000)) << c.stored;
        EXPECT_EQ(t.h.ui->countdowns.first().milliseconds, c.counted) << c.stored;
        EXPECT_EQ(log.contains(QStringLiteral("out of range")), c.counted != c.stored) << c.stored;
        EXPECT_EQ(t.profile()->zeroTimeInterval(), c.stored);
        t.emulator.setHeadsetControl(4, 1, 0);
        ASSERT_TRUE(waitUntil([&] { return t.r->statuses.last() == false; }, 3000));
    }
}

TEST(DirectorCountdown, UnpluggingAbortsItAndALateEndZeroesNothing)
{
    RunningHeadset t;
    ASSERT_TRUE(t.bringUp());
    t.profile()->setAutoZeroEnable(false);
    t.profile()->setVisualFeedback(true);
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 1; }, 3000));
    EXPECT_TRUE(t.h.ui->countdowns.first().visual);

    LogCapture log;
    t.d->onUsbDeviceRemoved(dongleList());
    EXPECT_EQ(t.h.ui->crossAborted, 1);
    EXPECT_EQ(t.d->dongle(), nullptr);
    // A completion that fires anyway (it raced the removal) touches no dongle.
    t.h.ui->finishCountdown();
    EXPECT_TRUE(log.contains(QStringLiteral("Countdown ended without its dongle, no zeroing")));
}

TEST(DirectorCountdown, TheHeadsetTurningToAnotherDeviceOrLostAbortsIt)
{
    RunningHeadset t;
    ASSERT_TRUE(t.bringUp());
    t.profile()->setAutoZeroEnable(false);
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 1; }, 3000));
    // Still active, now on the LINK.
    t.emulator.setHeadsetControl(3, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->crossAborted == 1; }, 3000));

    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.r->statuses.last() == false; }, 3000));
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 2; }, 3000));
    t.d->headsetLost(t.d->dongle(), t.d->headset());
    EXPECT_EQ(t.h.ui->crossAborted, 2);
}

TEST(DirectorCountdown, APassiveOrFailedHeadsetIsNotZeroedAndTakesTheOverlayDown)
{
    RunningHeadset t;
    ASSERT_TRUE(t.bringUp());
    const int zeros = t.emulator.dongle().zeroCount;
    // Passive while auto-zero was switched on meanwhile: the overlay goes all the same, and an
    // end racing it zeroes nothing.
    t.profile()->setAutoZeroEnable(false);
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 1; }, 3000));
    t.profile()->setAutoZeroEnable(true);
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.r->statuses.last() == false; }, 3000));
    EXPECT_EQ(t.h.ui->crossAborted, 1);
    t.h.ui->finishCountdown();

    // Failed while counting, the end racing the failure: the overlay goes, nothing is zeroed.
    t.profile()->setAutoZeroEnable(false);
    t.emulator.setHeadsetControl(4, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->countdowns.size() == 2; }, 3000));
    t.d->headset()->setError(DongleResult(DongleResult::QueryChannelMapFailed));
    t.d->headsetUpdated(t.d->dongle(), t.d->headset(), HeadsetChangeMask::error);
    EXPECT_EQ(t.h.ui->crossAborted, 2);
    t.h.ui->finishCountdown();
    EXPECT_FALSE(waitUntil([&] { return t.emulator.dongle().zeroCount != zeros; }, 500));
}

TEST(DirectorHeadsetFailure, DeclinedRetryKeepsTheFailedHeadsetAlive)
{
    RunningHeadset t;
    t.h.tweak = quickTiming;
    ASSERT_TRUE(t.bringUp(false, [](emu::HeadsetModel& m) { m.failChannelMapRead = true; }));
    t.h.retryAnswer = false;
    ASSERT_TRUE(waitUntil([&] { return t.h.retryQuestions.size() == 1; }, 5000));
    EXPECT_EQ(t.h.retryQuestions.first(),
              QStringLiteral("Headset communication failure|Query channel map failed\nDo you want to try again?"));
    EXPECT_EQ(t.r->headsetMasks(HeadsetChangeMask::error), 1);
    EXPECT_EQ(t.r->failureMarkedAtSignal, QList<bool> { true }) << "the flag is set before the signal";
    EXPECT_TRUE(t.h.ui->mainVisible);
    EXPECT_TRUE(t.h.ui->sidebarVisible);
    Headset* headset = t.d->headset();
    ASSERT_NE(headset, nullptr);
    EXPECT_TRUE(headset->isErrorAcknowledged());
    EXPECT_TRUE(headset->watchdog().isRunning());
    EXPECT_EQ(headset->error().code, DongleResult::QueryChannelMapFailed);
    spin(150);
    EXPECT_EQ(t.h.retryQuestions.size(), 1);
}

TEST(DirectorHeadsetFailure, TheRetryQuestionIsAskedThroughTheWindowsAboutTheDongleThatGoes)
{
    RunningHeadset t;
    t.h.tweak = [](DirectorEnvironment& e) {
        quickTiming(e);
        e.askRetry = nullptr; // asked as the application asks
    };
    ASSERT_TRUE(t.bringUp(false, [](emu::HeadsetModel& m) { m.failChannelMapRead = true; }));
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->boxes.size() == 1; }, 5000));
    const DirectorUi::Box box = t.h.ui->boxes.first();
    EXPECT_EQ(box.title, QStringLiteral("Headset communication failure"));
    EXPECT_EQ(box.buttons, QStringList({QStringLiteral("Yes"), QStringLiteral("No")}));
    ASSERT_EQ(box.about.size(), 2);
    EXPECT_EQ(box.about.at(1).data(), t.d->dongle());
    EXPECT_TRUE(waitUntil([&] { return t.d->headset() && t.d->headset()->watchdog().isRunning(); }))
        << "No keeps the failed headset";
    t.d->onUsbDeviceRemoved(dongleList());
    EXPECT_TRUE(box.about.at(0).isNull() && box.about.at(1).isNull()) << "the box closes with them";
}

TEST(DirectorHeadsetFailure, RetryBuildsTheHeadsetAnew)
{
    RunningHeadset t;
    t.h.tweak = quickTiming;
    t.h.retryAnswer = true;
    t.h.duringRetryQuestion = [&t]() {
        t.emulator.updateHeadset([](emu::HeadsetModel& m) { m.failChannelMapRead = false; });
    };
    ASSERT_TRUE(t.bringUp(false, [](emu::HeadsetModel& m) { m.failChannelMapRead = true; }));
    ASSERT_TRUE(waitUntil([&] { return t.d->headset() && t.d->headset()->isRunning(); }, 5000));
    EXPECT_EQ(t.h.retryQuestions.size(), 1);
    EXPECT_EQ(t.d->headset()->error().code, 0);
    EXPECT_EQ(t.r->headsetMasks(HeadsetChangeMask::found), 1);
    // The failed headset was reported lost before the new one came.
    ASSERT_EQ(t.r->headsetMasks(HeadsetChangeMask::lost), 1);
    QList<quint32> masks;
    for (const auto& update : t.r->headsetUpdates)
        masks << update.second;
    EXPECT_LT(masks.indexOf(HeadsetChangeMask::error), masks.indexOf(HeadsetChangeMask::lost));
    EXPECT_LT(masks.indexOf(HeadsetChangeMask::lost), masks.indexOf(HeadsetChangeMask::found));
}

TEST(DirectorHeadsetFailure, RetryForAHeadsetSwitchedOffMeanwhileEndsInItsLoss)
{
    Headset::setWatchdogIntervalForTests(testutil::scaled(200));
    RunningHeadset t;
    t.h.tweak = quickTiming;
    t.h.retryAnswer = true;
    // Switched off while its failure is asked about: no status will come to end it.
    t.h.duringRetryQuestion = [&t]() { t.emulator.headsetPower(false); };
    ASSERT_TRUE(t.bringUp(false, [](emu::HeadsetModel& m) { m.failChannelMapRead = true; }));
    ASSERT_TRUE(waitUntil([&] { return t.h.retryQuestions.size() == 1; }, 5000));
    EXPECT_TRUE(waitUntil([&] { return t.d->headset() == nullptr; }, 5000)) << "still shown as initialising";
    EXPECT_EQ(t.r->headsetMasks(HeadsetChangeMask::lost), 1);
    Headset::setWatchdogIntervalForTests(0);
}

// Another headset switched on with the same PAN and address after a silence: its identity is
// asked, and the windows hear the old one lost before the new one is found.
TEST(DirectorHeadsetSwap, SamePanAndAddressAnotherSerialIsLostThenFound)
{
    RunningHeadset t;
    ASSERT_TRUE(t.bringUp());
    Headset* old = t.d->headset();
    ASSERT_EQ(old->serial(), QStringLiteral("HS21000321"));
    t.emulator.removeHeadset();
    ASSERT_TRUE(waitUntil([&] { return old->silentForMs() >= Headset::IdentityCheckAfterSilenceMs; }, 10000));
    emu::HeadsetModel other;
    other.serial = "HS21000999";
    t.emulator.addHeadset(other);
    ASSERT_TRUE(waitUntil([&] { return t.r->headsetMasks(HeadsetChangeMask::found) == 2; }, 5000));
    EXPECT_EQ(t.d->headset()->serial(), QStringLiteral("HS21000999"));
    QList<QPair<Headset*, quint32>> const& u = t.r->headsetUpdates;
    const int lost = u.indexOf(qMakePair(old, quint32(HeadsetChangeMask::lost)));
    ASSERT_GE(lost, 0);
    EXPECT_LT(lost, u.lastIndexOf(qMakePair(t.d->headset(), quint32(HeadsetChangeMask::found))));
}

TEST(DirectorHeadsetFailure, DongleGoneWhileAskingIsCheckedAfterTheBox)
{
    RunningHeadset t;
    t.h.tweak = quickTiming;
    LogCapture log;
    t.h.duringRetryQuestion = [&t]() { t.d->onUsbDeviceRemoved(dongleList()); };
    // The question may come before the profile is applied: no wait for the connection here.
    t.emulator.addHeadset();
    t.emulator.updateHeadset([](emu::HeadsetModel& m) { m.failChannelMapRead = true; });
    ASSERT_TRUE(t.start());
    t.d = t.h.create(true, 5);
    ASSERT_TRUE(waitUntil([&] { return t.h.retryQuestions.size() == 1; }, 5000));
    EXPECT_EQ(t.d->dongle(), nullptr);
    EXPECT_TRUE(log.contains(QStringLiteral("Headset gone while its failure was asked about")));
}

TEST(DirectorWindows, RulesOfTheMainWindowAndTheSidebar)
{
    API::setServiceBaseUrl(QUrl(QStringLiteral("http://127.0.0.1:1")));
    Harness h;
    OrvixDirector* d = h.create();
    EXPECT_EQ(h.ui->created, 1);
    EXPECT_EQ(h.ui->mainShown, 0) << "windows stay hidden until start";

    d->start();
    EXPECT_TRUE(h.ui->soundPlayer);
    EXPECT_EQ(h.ui->sidebarAttached, 1);
    EXPECT_EQ(h.ui->mainAttached, 1);
    EXPECT_TRUE(h.ui->mainVisible);

    // Tray activation without a dongle: only the main window.
    h.ui->mainVisible = false;
    d->onTrayIconActivated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(h.ui->mainVisible);
    EXPECT_EQ(h.ui->sidebarShown, 0);
    // The context click only opens the menu; a click toggles, and the double click that
    // completes it toggles no more.
    d->onTrayIconActivated(QSystemTrayIcon::Context);
    d->onTrayIconActivated(QSystemTrayIcon::MiddleClick);
    EXPECT_TRUE(h.ui->mainVisible);
    EXPECT_EQ(h.ui->mainHidden, 0);
    d->onTrayIconActivated(QSystemTrayIcon::Trigger);
    d->onTrayIconActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(h.ui->mainVisible);
    EXPECT_EQ(h.ui->mainHidden, 1);

    // Hiding keeps the sidebar when the setting says visible.
    d->settings()->setSidebarVisible(true);
    d->showMainWindow(false);
    EXPECT_FALSE(h.ui->mainVisible);
    EXPECT_EQ(h.ui->sidebarHidden, 0);
    d->settings()->setSidebarVisible(false);
    d->showMainWindow(true);
    d->showMainWindow(false);
    EXPECT_EQ(h.ui->sidebarHidden, 1);

    // The status icon toggles.
    h.ui->clickStatusIcon();
    EXPECT_TRUE(h.ui->mainVisible);
    h.ui->clickStatusIcon();
    EXPECT_FALSE(h.ui->mainVisible);

    d->onQuitApplication();
    EXPECT_EQ(h.ui->performed, QList<int>{DirectorUi::QuitAction});

    d->stop();
    EXPECT_EQ(h.ui->mainDetached, 1);
    EXPECT_FALSE(h.ui->soundPlayer);
    h.director.reset();
    API::setServiceBaseUrl(QUrl());
}

TEST(DirectorWindows, BusyIndicatorAndCriticalMessages)
{
    Harness h;
    OrvixDirector* d = h.create();
    QList<const Progress::Context*> shown;
    QObject context;
    QObject::connect(d, &OrvixDirector::updateProgress, &context,
                     [&](const Progress::Context* c) { shown << c; });
    d->showInfinityProgress(QStringLiteral("Applying"));
    ASSERT_EQ(shown.size(), 2);
    ASSERT_NE(shown.last(), nullptr);
    EXPECT_EQ(shown.last()->title, QStringLiteral("Applying"));
    EXPECT_TRUE(shown.last()->flags.testFlag(Progress::Infinite));
    d->hideIninityProgress();
    EXPECT_EQ(shown.last(), nullptr);

    int quitsAtBox = -1;
    h.onMessage = [&](const Message&) { quitsAtBox = h.quits; };
    LogCapture log;
    emit d->showMessage(OrvixDirector::information, QStringLiteral("T"), QStringLiteral("just so"));
    emit d->showMessage(OrvixDirector::critical, QStringLiteral("Fatal"), QStringLiteral("bye"));
    EXPECT_TRUE(h.messages.isEmpty()) << "boxes open from the event loop";
    ASSERT_TRUE(waitUntil([&] { return h.messages.size() == 2; }, 1000));
    EXPECT_EQ(quitsAtBox, 0);
    EXPECT_EQ(h.quits, 1);
    EXPECT_TRUE(log.contains(QStringLiteral("Message(information): T - just so")));
    EXPECT_TRUE(log.contains(QStringLiteral("Message(critical): Fatal - bye")));
}

TEST(DirectorLanguage, MissingLanguageFallsBackToTheUntranslatedTexts)
{
    Harness h;
    OrvixDirector* d = h.create();
    const QLocale before;
    LogCapture log;
    d->loadLanguage(QStringLiteral("de"));
    EXPECT_TRUE(log.contains(QStringLiteral("Unable to load language (:/languages/de): de, German!")));
    EXPECT_EQ(d->currentLanguage(), QStringLiteral("de"));
    EXPECT_EQ(QLocale().language(), QLocale::German);
    EXPECT_EQ(OrvixDirector::tr("Quit"), QStringLiteral("Quit"));

    const int lines = log.lines.size();
    d->loadLanguage(QStringLiteral("de"));
    EXPECT_EQ(log.lines.size(), lines) << "the loaded language is not loaded again";
    QLocale::setDefault(before);
}

TEST(DirectorLanguage, QtsOwnButtonsFollowTheLanguage)
{
    Harness h;
    OrvixDirector* d = h.create();
    const QLocale before;
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes | QDialogButtonBox::No);
    const struct {
        const char* code;
        const char* cancel;
        const char* yes;
    } cases[] = { { "fr", "Annuler", "&Oui" }, { "hu", "Mégse", "&Igen" }, { "en", "Cancel", "&Yes" } };
    for (const auto& c : cases) {
        d->loadLanguage(QLatin1String(c.code));
        const QString cancel = QString::fromUtf8(c.cancel);
        EXPECT_TRUE(waitUntil([&] { return box.button(QDialogButtonBox::Cancel)->text() == cancel; }, 1000))
            << c.code << ": " << box.button(QDialogButtonBox::Cancel)->text().toStdString();
        EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text(), QString::fromUtf8(c.yes)) << c.code;
    }
    QLocale::setDefault(before);
}

TEST(DirectorInstance, EachToggleByteShowsOrHidesTheMainWindowOnce)
{
    Harness h;
    OrvixDirector* d = h.create();
    (void)d;
    QLocalSocket client;
    client.connectToServer(h.serverName);
    ASSERT_TRUE(client.waitForConnected(testutil::scaled(1000)));

    client.write("\x01", 1);
    client.flush();
    ASSERT_TRUE(waitUntil([&] { return h.ui->mainShown == 1; }, 2000));
    EXPECT_TRUE(h.ui->mainVisible);

    // Two bytes in one write: hidden, then shown again; nothing waits in the buffer.
    client.write("\x01\x01", 2);
    client.flush();
    ASSERT_TRUE(waitUntil([&] { return h.ui->mainShown == 2; }, 2000));
    EXPECT_EQ(h.ui->mainHidden, 1);
    EXPECT_TRUE(h.ui->mainVisible);

    // Other bytes are dropped.
    client.write("\x02\x7f", 2);
    client.flush();
    spin(80);
    EXPECT_EQ(h.ui->mainShown, 2);
    EXPECT_EQ(h.ui->mainHidden, 1);

    client.disconnectFromServer();
    spin(50);
}

TEST(DirectorInstance, AClientSendingMoreThan4KiBIsDropped)
{
    Harness h;
    OrvixDirector* d = h.create();
    (void)d;
    LogCapture log;
    QLocalSocket client;
    client.connectToServer(h.serverName);
    ASSERT_TRUE(client.waitForConnected(testutil::scaled(1000)));
    client.write(QByteArray(1 << 20, '\x02'));
    ASSERT_TRUE(waitUntil([&] { return client.state() == QLocalSocket::UnconnectedState; }, 5000));
    EXPECT_TRUE(log.contains(QStringLiteral("Local client dropped")));
    EXPECT_EQ(h.ui->mainShown, 0);
}

TEST(DirectorRun, StartHeadsetFoundProfileAppliedHeadsetLostUnplug)
{
    Headset::setWatchdogIntervalForTests(200);
    RunningHeadset t;
    // The dongle holds other settings than the selected profile's until it is applied.
    t.emulator.updateDongle([](emu::DongleModel& m) {
        m.params[emu::dcp::Speed] = {0, 10};
        m.params[emu::dcp::Filter] = {0, 90};
    });
    ASSERT_TRUE(t.bringUp());
    OrvixDirector* d = t.d;
    Recorder& r = *t.r;

    // Connected, then the headset found and reported whole.
    EXPECT_TRUE(r.dongleUpdates.contains(qMakePair(d->dongle(), quint32(DongleChangeMask::found))));
    EXPECT_EQ(r.headsetMasks(HeadsetChangeMask::found), 1);
    EXPECT_GE(r.headsetMasks(HeadsetChangeMask::all), 1);
    EXPECT_TRUE(t.h.ui->sidebarVisible || !d->settings()->sidebarVisible());

    // The selected profile reached the dongle: its speed and tremor filter as written.
    const MouseProfile* profile = d->settings()->selectedProfile();
    ASSERT_NE(Dongle::percentFromFraction(profile->mouseSpeedPercent()), 10);
    const emu::DongleModel dongle = t.emulator.dongle();
    EXPECT_EQ(dongle.params.at(emu::dcp::Speed).second, Dongle::percentFromFraction(profile->mouseSpeedPercent()));
    EXPECT_EQ(dongle.params.at(emu::dcp::Filter).second, Dongle::percentFromFraction(profile->tremorFilter()));

    // The dongle's audio-feedback notice plays the zeroing sound.
    t.emulator.noticeAudioFeedback();
    ASSERT_TRUE(waitUntil([&] { return t.h.ui->played.contains(DirectorUi::ZeroInitSample); }, 3000));

    // Falling silent: lost after the watchdog.
    t.emulator.headsetPower(false);
    ASSERT_TRUE(waitUntil([&] { return r.headsetMasks(HeadsetChangeMask::lost) == 1; }, 5000));
    EXPECT_EQ(d->headset(), nullptr);

    // Unplugged: the bus says so and the dongle goes.
    Dongle* connected = d->dongle();
    t.emulator.unplug();
    {
        fakeusb::Lock lock(t.h.bus->mutex);
        t.h.bus->bus.clear();
    }
    ASSERT_TRUE(waitUntil([&] { return !r.disconnected.isEmpty(); }, 3000));
    EXPECT_EQ(r.disconnected.first(), qMakePair(connected, int(DongleResult::DongleRemoved)));
    EXPECT_EQ(d->dongle(), nullptr);
    EXPECT_EQ(d->serialPort(), nullptr);
    EXPECT_FALSE(t.h.ui->sidebarVisible);
    EXPECT_TRUE(t.h.messages.isEmpty());
    EXPECT_TRUE(t.emulator.errors().isEmpty());
    Headset::setWatchdogIntervalForTests(0);
}
