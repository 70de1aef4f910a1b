// The toolbar over the emulated dongle and headset: what it shows of the headset and what its
// buttons send.
#include "QuietDirectorUi.h"
#include "app/DirectorEmulation.h"
#include "common/gui_util.h"

#include "app/Settings.h"
#include "ui/shell/SidebarDialog.h"
#include "ui/toolkit/ToolButton.h"

#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

using testutil::waitUntil;
using State = SidebarDialog::State;

namespace
{

QImage picture(const QIcon& icon)
{
    return icon.pixmap(SidebarDialog::IconSide).toImage();
}

// A director over the emulator with the toolbar attached before the dongle comes.
struct ToolbarOverEmulator : directortest::EmulatedDongle {
    // No copy of a command arrives this long after the last: the application's burst is over.
    static constexpr int BurstOverMs = 100;

    std::unique_ptr<OrvixDirector> director;
    SidebarDialog bar;
    std::function<void(DirectorEnvironment&)> timing = directortest::quickTiming;

    bool bringUp(std::function<void(emu::HeadsetModel&)> change = {})
    {
        emulator.addHeadset();
        if (change)
            emulator.updateHeadset(change);
        h.tweak = timing;
        if (!start())
            return false;
        h.bus->setBus(QtUsb::FilterList { directortest::Harness::dongleIds() });
        director = std::make_unique<OrvixDirector>(
            h.parser, std::make_unique<QuietDirectorUi>(), h.environment(5));
        bar.attach(director.get());
        director->start();
        // Up once the headset runs and the dongle's own first click command was answered.
        return waitUntil(
                   [&] { return headset() && headset()->isRunning() && button("mouseButton")->isEnabled(); },
                   5000)
            && emulator.waitForFrame(emu::FrameFilter::dcp(10), testutil::scaled(3000)) && clickButtonIs(1)
            && emulator.waitForQuiet(
                testutil::scaled(100), testutil::scaled(3000), emu::FrameFilter::of(emu::pid::DCP));
    }
    ~ToolbarOverEmulator() { director.reset(); }

    Headset* headset() const
    {
        return director && director->dongle() ? director->dongle()->headset() : nullptr;
    }
    OX::ToolButton* button(const char* name) { return bar.findChild<OX::ToolButton*>(QLatin1String(name)); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // The next keyboard or click command from the application after since.
    std::optional<emu::Received> command(int cmd, int since)
    {
        return emulator.waitForFrame(emu::FrameFilter::dcp(cmd), testutil::scaled(3000), since);
    }
    bool clickButtonIs(int b)
    {
        return waitUntil([&] { return headset() && headset()->clickButton() == b; }, 3000);
    }

    // The dongle echoes every copy of a repeated command and announces what it did after each
    // copy. Neither a notice of the test's own nor the next command may be overtaken by the
    // echo or announcement of a late copy: take the counts before a click, then wait until every
    // copy received was announced and the application has read all of it.
    struct Counts {
        int copies;
        int notices;
    };
    static emu::FrameFilter notices(int cmd) { return emu::FrameFilter::dcp(cmd).withFlags(0); }
    Counts counts(int cmd) const
    {
        return { emulator.receivedCount(emu::FrameFilter::dcp(cmd)), emulator.sentCount(notices(cmd)) };
    }
    bool everyCopyAnnounced(int cmd, Counts before)
    {
        if (!emulator.waitForQuiet(
                testutil::scaled(BurstOverMs), testutil::scaled(3000), emu::FrameFilter::dcp(cmd)))
            return false;
        const int copies = emulator.receivedCount(emu::FrameFilter::dcp(cmd)) - before.copies;
        return copies > 0
            && waitUntil([&] { return emulator.sentCount(notices(cmd)) - before.notices >= copies; }, 3000)
            && caughtUp();
    }
    // The application has read every frame the emulator wrote so far: a headset status written
    // after them, with a battery level of its own, has arrived.
    bool caughtUp()
    {
        const quint8 level = headset() && headset()->batteryLevel() == 61 ? 60 : 61;
        emulator.updateHeadset([level](emu::HeadsetModel& m) { m.battery = level; });
        return waitUntil([&] { return headset() && headset()->batteryLevel() == level; }, 3000);
    }
};

} // namespace

TEST(SidebarState, BatteryLevelsRoundHalfAwayFromZero)
{
    const std::pair<float, int> cases[] = { { 0, 0 }, { 24, 0 }, { 25, 1 }, { 41, 1 }, { 42, 2 }, { 74, 3 },
        { 75, 4 }, { 91, 4 }, { 92, 5 }, { 100, 5 }, { 255, 5 } };
    for (const auto& c : cases)
        EXPECT_EQ(State::batteryIndex(c.first), c.second) << c.first;
}

TEST(SidebarState, BadgeColourFollowsTheBadge)
{
    State s;
    const std::pair<State::StatusBadge, State::BadgeColor> cases[]
        = { { State::Start, State::Active }, { State::Mouse, State::Active },
              { State::Initialize, State::Natural }, { State::SettingsBadge, State::Natural },
              { State::Error, State::ErrorColor }, { State::UnknownDevice, State::ErrorColor } };
    for (const auto& c : cases) {
        s.badge = c.first;
        s.setStatusColor(State::Active);
        EXPECT_EQ(s.getStatusColor(), c.second) << c.first;
    }
    s.badge = State::StatusBadge(12);
    s.setStatusColor(State::Passive);
    EXPECT_EQ(s.getStatusColor(), State::ErrorColor) << "a badge above 9 keeps its colour";
}

TEST(SidebarOverEmulator, BatteryAndBadgeFollowTheHeadset)
{
    ToolbarOverEmulator t;
    ASSERT_TRUE(t.bringUp([](emu::HeadsetModel& m) {
        m.channelMap.push_back({ 9, 0x81, emu::preset::Pc2 });
    }));
    t.bar.show();
    for (const int level : { 74, 75 }) {
        t.emulator.updateHeadset([level](emu::HeadsetModel& m) { m.battery = uint8_t(level); });
        ASSERT_TRUE(waitUntil(
            [&] {
                return picture(t.button("batteryButton")->icon()) == picture(State::getBatteryIcon(level));
            },
            3000))
            << level;
    }
    EXPECT_NE(picture(State::getBatteryIcon(74)), picture(State::getBatteryIcon(75)));

    Dongle* dongle = t.director->dongle();
    EXPECT_EQ(State::getBadge(t.headset(), dongle), State::Mouse);
    EXPECT_EQ(State::getBadge(nullptr, dongle), State::Error);
    EXPECT_EQ(State::getBadge(t.headset(), nullptr), State::Error);
    t.emulator.setHeadsetControl(9, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.headset()->device().address == 9; }, 3000));
    EXPECT_EQ(State::getBadge(t.headset(), dongle), State::Imac);
    EXPECT_EQ(t.bar.state().badge, State::Imac);
    t.emulator.setHeadsetControl(3, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.bar.state().badge == State::Controller; }, 3000));
    EXPECT_EQ(t.bar.state().color, State::Active);
    t.headset()->watchdog().stop();
    EXPECT_EQ(State::getBadge(t.headset(), dongle), State::Initialize);
}

TEST(SidebarOverEmulator, MouseAndScrollSendTheNextClickButton)
{
    ToolbarOverEmulator t;
    ASSERT_TRUE(t.bringUp());
    // From the headset's click button to what a click of mouse or scroll sends.
    const struct {
        const char* button;
        int from;
        int sent;
    } cases[] = { { "mouseButton", 1, 2 }, { "mouseButton", 2, 1 }, { "mouseButton", 4, 1 },
        { "mouseButton", 0, 1 }, { "scrollButton", 4, 1 }, { "scrollButton", 1, 4 },
        { "scrollButton", 2, 4 } };
    for (const auto& c : cases) {
        t.emulator.noticeClick(uint8_t(c.from));
        ASSERT_TRUE(t.clickButtonIs(c.from));
        const int since = t.emulator.mark();
        const auto before = t.counts(10);
        t.click(c.button);
        const auto sent = t.command(10, since);
        ASSERT_TRUE(sent) << c.button << " from " << c.from;
        EXPECT_EQ(sent->frame.msb(), c.sent) << c.button << " from " << c.from;
        // The dongle announces the new button; the button stops blinking.
        ASSERT_TRUE(t.everyCopyAnnounced(10, before));
        ASSERT_TRUE(t.clickButtonIs(c.sent));
        EXPECT_TRUE(waitUntil([&] { return !t.button(c.button)->isBlinking(); }, 3000));
    }
    // Scrolling now: the mouse shows no button, the scroll wheel is lit.
    EXPECT_EQ(picture(t.button("mouseButton")->icon()), picture(State::getMouseIcon(MouseButton::Middle)));
    EXPECT_EQ(picture(t.button("scrollButton")->icon()), picture(State::getScrollIcon(MouseButton::Middle)));
    EXPECT_NE(
        picture(State::getScrollIcon(MouseButton::Middle)), picture(State::getScrollIcon(MouseButton::Left)));
    EXPECT_TRUE(t.emulator.errors().isEmpty());
}

TEST(SidebarOverEmulator, AltPressesOrReleasesOneCommandAtATime)
{
    ToolbarOverEmulator t;
    // The echo comes late, yet well within the dongle's time-out: a repeated attempt would be
    // answered twice and its late echo would complete the next command.
    t.timing = [](DirectorEnvironment& env) {
        directortest::quickTiming(env);
        env.dongleTiming.timeoutScale = testutil::timeScale();
    };
    ASSERT_TRUE(t.bringUp());
    // Not held: press. Held (the dongle announced it): release.
    for (const int action : { 1, 2 }) {
        t.emulator.updateDongle([](emu::DongleModel& d) { d.replyDelayMs = 150; });
        const int since = t.emulator.mark();
        const auto before = t.counts(17);
        t.click("altButton");
        t.click("altButton"); // before the answer: ignored
        EXPECT_EQ(t.bar.state().altPending, action);
        ASSERT_TRUE(waitUntil([&] { return t.bar.state().altPending == SidebarDialog::NoAction; }, 3000));
        ASSERT_TRUE(t.everyCopyAnnounced(17, before));
        QSet<int> bursts;
        for (const emu::Received& r : t.emulator.received())
            if (r.seq >= since && r.frame.pid == emu::pid::DCP && r.frame.cmd() == 17) {
                bursts << r.burst;
                EXPECT_EQ(r.frame.lsb(), 0x82);
                EXPECT_EQ(r.frame.msb(), action);
            }
        EXPECT_EQ(bursts.size(), 1) << "one command per click, none for the second";
        const quint32 held = action == 1 ? quint32(HeadsetControlMask::alt) : 0u;
        ASSERT_TRUE(waitUntil([&] { return t.headset()->modifierMask() == held; }, 3000));
        EXPECT_EQ(picture(t.button("altButton")->icon()), picture(State::getAltActionIcon(held)));
    }
}

TEST(SidebarOverEmulator, LostGreysTheHeadsetButtonsAndUnplugFreesACommand)
{
    ToolbarOverEmulator t;
    ASSERT_TRUE(t.bringUp());
    t.bar.show();
    testutil::saveScreenshot(&t.bar, QStringLiteral("toolbar-headset-found"));
    const char* headsetButtons[] = { "shiftButton", "altButton", "cmdButton", "mouseButton", "scrollButton" };
    t.bar.onHeadsetUpdated(
        t.headset(), HeadsetChangeMask::lost | HeadsetChangeMask::found | HeadsetChangeMask::control);
    for (const char* name : headsetButtons)
        EXPECT_FALSE(t.button(name)->isEnabled()) << name;
    EXPECT_TRUE(t.button("copyButton")->isEnabled());
    t.bar.onHeadsetUpdated(t.headset(), HeadsetChangeMask::found);
    for (const char* name : headsetButtons)
        EXPECT_TRUE(t.button(name)->isEnabled()) << name;

    // Commands under way when the dongle goes: each button is freed.
    t.emulator.updateDongle([](emu::DongleModel& d) { d.replyDelayMs = 2000; });
    t.click("shiftButton");
    t.click("copyButton");
    EXPECT_EQ(t.bar.state().shiftPending, 1);
    EXPECT_EQ(t.bar.state().copyPending, 0);
    EXPECT_TRUE(t.button("shiftButton")->isBlinking());
    t.emulator.unplug();
    t.h.bus->setBus({});
    EXPECT_TRUE(waitUntil(
        [&] {
            return t.bar.state().shiftPending == SidebarDialog::NoAction
                && t.bar.state().copyPending == SidebarDialog::NoAction;
        },
        5000));
    EXPECT_FALSE(t.button("shiftButton")->isBlinking());
    t.bar.onHeadsetUpdated(nullptr, HeadsetChangeMask::all);
    testutil::saveScreenshot(&t.bar, QStringLiteral("toolbar-no-headset"));
}

TEST(SidebarOverEmulator, AToolbarBuiltAfterTheHeadsetWasFoundHasItsButtonsAtHand)
{
    // The toolbar is built once the main window has been seen, which may be after the headset
    // was found: no later notice enables scrolling until the headset goes and comes again.
    ToolbarOverEmulator t;
    ASSERT_TRUE(t.bringUp());
    SidebarDialog late;
    late.attach(t.director.get());
    for (const char* name : { "shiftButton", "altButton", "cmdButton", "mouseButton", "scrollButton" })
        EXPECT_TRUE(late.findChild<OX::ToolButton*>(QLatin1String(name))->isEnabled()) << name;
}

TEST(SidebarOverEmulator, AHeadsetSwitchedOffLetsGoOfTheModifiersItsToolbarHeld)
{
    Headset::setWatchdogIntervalForTests(testutil::scaled(300));
    ToolbarOverEmulator t;
    ASSERT_TRUE(t.bringUp());
    t.click("shiftButton");
    ASSERT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.count(0x81) == 1; }, 3000));
    t.emulator.headsetPower(false);
    EXPECT_TRUE(waitUntil([&] { return !t.button("shiftButton")->isEnabled(); }, 5000));
    EXPECT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.empty(); }, 3000))
        << "shift stays held on the computer, with its button greyed";
    Headset::setWatchdogIntervalForTests(0);
}

TEST(SidebarOverEmulator, AToolbarHiddenLetsGoOfTheModifiersItHeld)
{
    ToolbarOverEmulator t;
    ASSERT_TRUE(t.bringUp());
    t.bar.show();
    t.click("shiftButton");
    ASSERT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.count(0x81) == 1; }, 3000));
    ASSERT_TRUE(waitUntil([&] { return t.headset()->modifierMask() != 0; }, 3000));
    emit t.bar.hideSignal(); // as the main window hidden with the toolbar set not to stay does
    EXPECT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.empty(); }, 3000))
        << "shift stays held on the computer with no button left to let go of it";
}

TEST(SidebarOverEmulator, AModifierPressNotYetConfirmedIsLetGoOfAtQuitAndWhenTheHeadsetGoes)
{
    Headset::setWatchdogIntervalForTests(testutil::scaled(300));
    for (const bool quitting : { true, false }) {
        ToolbarOverEmulator t;
        ASSERT_TRUE(t.bringUp());
        // The dongle holds shift at once but answers late: nothing tells of the press yet.
        t.emulator.updateDongle([](emu::DongleModel& m) { m.replyDelayMs = testutil::scaled(5000); });
        t.click("shiftButton");
        ASSERT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.count(0x81) == 1; }, 3000));
        ASSERT_EQ(t.headset()->modifierMask(), 0u);
        if (quitting)
            SidebarDialog::releaseHeldKeys(t.director->dongle(), t.headset()); // as quitting does
        else
            t.emulator.headsetPower(false);
        EXPECT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.empty(); }, 8000))
            << (quitting ? "shift stays held after the quit" : "shift stays held with the headset gone");
    }
    Headset::setWatchdogIntervalForTests(0);
}

TEST(SidebarOverEmulator, AFailedShortcutOrModifierPressLetsGoOfItsKeys)
{
    Headset::setWatchdogIntervalForTests(testutil::scaled(300));
    const auto keys = [](int action) {
        return emu::FrameFilter::dcp(17).where([action](const emu::Frame& f) { return f.msb() == action; });
    };
    enum Case { Failed, FailedWithoutHeadset, ReleaseLostTooThenHeadsetGoes, ShiftPressFailed };
    for (const Case c : { Failed, FailedWithoutHeadset, ReleaseLostTooThenHeadsetGoes, ShiftPressFailed }) {
        ToolbarOverEmulator t;
        ASSERT_TRUE(t.bringUp());
        if (c == FailedWithoutHeadset) {
            t.emulator.headsetPower(false);
            ASSERT_TRUE(waitUntil([&] { return !t.headset(); }, 5000));
        }
        // The dongle holds every key it is told to, but its confirmations of the presses are
        // lost: copy times out once command went down, and the release ending copy is never sent.
        t.emulator.addFault(emu::FaultRule::dropReply(keys(1), -1));
        // The release sent after the failure is lost as well: the headset going lets go.
        const bool releaseLost = c == ReleaseLostTooThenHeadsetGoes;
        const int lost = releaseLost ? t.emulator.addFault(emu::FaultRule::noReply(keys(3))) : -1;
        const int since = t.emulator.mark();
        const bool shift = c == ShiftPressFailed;
        t.click(shift ? "shiftButton" : "copyButton");
        const int key = shift ? 0x81 : 0x83;
        ASSERT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.count(key) == 1; }, 3000));
        ASSERT_TRUE(waitUntil(
            [&] {
                return (shift ? t.bar.state().shiftPending : t.bar.state().copyPending)
                    == SidebarDialog::NoAction;
            },
            8000));
        if (releaseLost) {
            ASSERT_TRUE(t.emulator.waitForFrame(keys(3), testutil::scaled(3000), since));
            ASSERT_TRUE(t.emulator.waitForQuiet(testutil::scaled(300), testutil::scaled(5000), keys(3)));
            ASSERT_EQ(t.emulator.dongle().heldKeys.count(0x83), 1u);
            t.emulator.removeFault(lost);
            t.emulator.headsetPower(false);
        }
        EXPECT_TRUE(waitUntil([&] { return t.emulator.dongle().heldKeys.empty(); }, 8000))
            << "a key stays held, case " << c;
    }
    Headset::setWatchdogIntervalForTests(0);
}

TEST(SidebarOverEmulator, AClickWhileTheButtonBlinksEndsOnItsLastingPicture)
{
    ToolbarOverEmulator t;
    t.timing = [](DirectorEnvironment& env) {
        directortest::quickTiming(env);
        env.dongleTiming.timeoutScale = 0.5 * testutil::timeScale(); // the blink turns before the time-out
    };
    ASSERT_TRUE(t.bringUp());
    // The dongle never hears the clicks: nothing announces a new button, the picture stays.
    t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(10)));
    for (const char* name : { "mouseButton", "scrollButton" }) {
        OX::ToolButton* b = t.button(name);
        const QImage lasting = picture(b->icon());
        t.click(name);
        // Clicked again while the blink shows its lit picture.
        ASSERT_TRUE(waitUntil([&] { return picture(b->icon()) != lasting; }, 3000)) << name;
        t.click(name);
        ASSERT_TRUE(waitUntil([&] { return !b->isBlinking(); }, 20000)) << name;
        EXPECT_EQ(picture(b->icon()), lasting) << name << " keeps the lit picture of a click that failed";
    }
}

TEST(SidebarOverEmulator, TheBadgeColourFollowsTheHeadsetBackFromADeviceOfNoKnownKind)
{
    ToolbarOverEmulator t;
    ASSERT_TRUE(t.bringUp([](emu::HeadsetModel& m) {
        m.control = 1;
        m.channelMap.push_back({ 9, 0x81, 0x99 }); // a kind the toolbar has no picture for
    }));
    t.emulator.setHeadsetControl(9, 1, 1);
    ASSERT_TRUE(waitUntil([&] { return t.bar.state().badge == State::UnknownDevice; }, 3000));
    t.emulator.setHeadsetControl(9, 1, 0); // passive there: the error badge keeps its colour
    ASSERT_TRUE(waitUntil([&] { return t.bar.state().color == State::ErrorColor; }, 3000));
    // Passive, back on this computer: the passive colour, not the error's.
    t.emulator.setHeadsetControl(4, 1, 0);
    ASSERT_TRUE(waitUntil([&] { return t.bar.state().badge == State::Mouse; }, 3000));
    EXPECT_EQ(t.bar.state().color, State::Passive);
    EXPECT_EQ(picture(t.button("statusButton")->icon()),
        picture(State::getStatusIcon(State::Mouse, State::Passive)));
}
