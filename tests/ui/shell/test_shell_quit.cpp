// Quitting from the main window while a dongle is connected: the dongle is told to zero the
// mouse by itself again before the application ends.
#include "app/DirectorEmulation.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ShellDirectorUi.h"

#include <gtest/gtest.h>

using namespace directortest;
using testutil::waitUntil;

namespace
{

struct ShellOverEmulator : EmulatedDongle {
    ShellDirectorUi* shell = nullptr;

    OrvixDirector* bringUp()
    {
        if (!start())
            return nullptr;
        h.bus->setBus(QtUsb::FilterList { Harness::dongleIds() });
        auto ui = std::make_unique<ShellDirectorUi>();
        shell = ui.get();
        h.director = std::make_unique<OrvixDirector>(h.parser, std::move(ui), h.environment(5));
        h.director->start(); // attaches the main window
        return h.director.get();
    }
};

TEST(ShellQuit, WithADongleAutomaticZeroingIsSwitchedOnBeforeQuitting)
{
    ShellOverEmulator t;
    OrvixDirector* d = t.bringUp();
    ASSERT_NE(d, nullptr);
    Recorder r(d);
    ASSERT_TRUE(waitUntil([&] { return r.connected.size() == 1; }, 5000));
    t.emulator.updateDongle([](emu::DongleModel& m) { m.autoZero = false; });
    const int mark = t.emulator.mark();

    t.shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 3000));
    EXPECT_TRUE(t.emulator.waitForFrame(emu::FrameFilter::dcp(18), testutil::scaled(1000), mark).has_value());
    EXPECT_TRUE(t.emulator.dongle().autoZero);

    // A second request while the first is under way quits only once.
    t.shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    testutil::spin(50);
    EXPECT_EQ(t.h.quits, 1);
}

TEST(ShellQuit, WithoutADongleTheApplicationQuitsAtOnce)
{
    ShellOverEmulator t; // the emulator is never plugged in
    auto ui = std::make_unique<ShellDirectorUi>();
    ShellDirectorUi* shell = ui.get();
    t.h.director = std::make_unique<OrvixDirector>(t.h.parser, std::move(ui), t.h.environment(5));
    t.h.director->start();
    shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    EXPECT_EQ(t.h.quits, 1);
}

TEST(ShellQuit, ADongleThatNeverAnswersStillLetsTheApplicationQuit)
{
    ShellOverEmulator t;
    t.h.tweak = quickTiming;
    OrvixDirector* d = t.bringUp();
    ASSERT_NE(d, nullptr);
    Recorder r(d);
    ASSERT_TRUE(waitUntil([&] { return r.connected.size() == 1; }, 5000));
    t.emulator.addFault(emu::FaultRule::noReply(emu::FrameFilter::dcp(18)));

    t.shell->mainWindow()->perform(OX::PageAction::quit, nullptr);
    ASSERT_TRUE(waitUntil([&] { return t.h.quits == 1; }, 5000));
}

} // namespace
