// The calibration page over the emulator: bars, hints and animations from the headset's levels,
// Reset and Cancel, leaving while calibrating, and a headset or dongle that goes away.
#include "common/PageRig.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/toolkit/ProgressView.h"

#include <QApplication>
#include <QSet>
#include <array>
#include <gtest/gtest.h>

#include "common/gui_util.h"
#include "common/time_scale.h"

using testutil::waitUntil;

namespace
{

const QString GyroHint = QStringLiteral("Don't touch the headset, leave it on the table");
const QString MagnetoHint = QStringLiteral("Rotate the headset in the air around it's all axes");
const QString AcceleroHint
    = QStringLiteral("Rotate the heaset, after every 45° on each axis keep it still for a moment");
const QString CompleteHint
    = QStringLiteral("The calibration is complete. Press \"Back\" to finish the operation");
const QString EnterFailed = QStringLiteral("The headset did not go into calibration mode.");
const QString EnterUnconfirmed
    = QStringLiteral("The headset did not confirm that it went into calibration mode.");
const QString ExitFailed = QStringLiteral("The headset did not confirm that it left calibration mode.");

emu::FrameFilter calibrationCommand(int value)
{
    return emu::FrameFilter::of(emu::pid::HCP, 0).where([value](const emu::Frame& f) {
        return f.lsb() == value;
    });
}
// The headset takes its requests, but none of its acknowledgements reaches the application.
emu::FaultRule lostAcknowledgements()
{
    return emu::FaultRule::dropReply(emu::FrameFilter::of(emu::pid::ACK, 0x20), -1);
}

class CalibrationPageTest : public ::testing::Test
{
protected:
    // Levels stay where the test puts them unless stepMs is short.
    void open(int stepMs = 1000000, uint8_t control = 0, bool withHeadset = true)
    {
        if (withHeadset) {
            emu::HeadsetModel model;
            model.calibrationStepMs = stepMs;
            model.control = control;
            model.setCalibrationOrder(QStringLiteral("gyro,magneto,accelero"));
            ASSERT_TRUE(rig.start(model));
        }
        page = new OX::CalibrationPage(&rig.container);
        rig.registerPage(page, QStringLiteral("Calibration"), {}, QSize(720, 600));
        page->updateWithHeadset(rig.headset(), HeadsetChangeMask::all);
        ASSERT_TRUE(rig.show(QStringLiteral("Calibration")));
    }
    void TearDown() override { rig.close(HasFailure()); }
    void setLevels(uint8_t magneto, uint8_t accelero, uint8_t gyro)
    {
        rig.emulator().updateHeadset([=](emu::HeadsetModel& h) {
            h.levels = { magneto, accelero, gyro, 0 };
        });
    }
    QString right() const { return rig.container.footer.right.text; }
    void pressReset()
    {
        ASSERT_EQ(right(), QStringLiteral("Reset"));
        rig.container.clickRight();
    }
    // Reset, then calibrating with every answer to the enter read. The headset acknowledges each
    // copy of the enter that it hears, and an acknowledgement names no command value: a late one
    // would answer the exit in its place. A headset request answered after them marks their end.
    void startCalibrating()
    {
        pressReset();
        ASSERT_TRUE(waitUntil(
            [&] { return page->state() == OX::CalibrationPage::Calibrating && !rig.container.busy; }));
        auto answered = std::make_shared<bool>(false);
        rig.headset()->queryChannelMap([answered](ChannelMap*, DongleResult) { *answered = true; });
        ASSERT_TRUE(waitUntil([answered] { return *answered; }));
    }
    // Distinct sends of a command (a send may be repeated within one burst).
    int bursts(const emu::FrameFilter& filter)
    {
        QSet<int> ids;
        for (const emu::Received& r : rig.emulator().received())
            if (filter.matches(r.frame))
                ids << r.burst;
        return ids.size();
    }

    // An enter that fails ends in the failed state: no busy wheel, navigation back, "Reset" again,
    // and the person is told.
    void expectFailedEnter(int enterSends)
    {
        testutil::BoxAnswerer boxes;
        boxes.answer(EnterFailed, QStringLiteral("OK"));
        pressReset();
        ASSERT_TRUE(waitUntil([&] { return page->state() == OX::CalibrationPage::Failed; }, 3000));
        ASSERT_TRUE(waitUntil([&] {
            return boxes.seen() == QStringList { "Calibration" } && boxes.unexpected().isEmpty()
                && !QApplication::activeModalWidget();
        }));
        EXPECT_FALSE(rig.container.busy);
        EXPECT_TRUE(rig.container.navigationEnabled(OX::NavigationOptions::all));
        EXPECT_EQ(right(), QStringLiteral("Reset"));
        EXPECT_EQ(bursts(calibrationCommand(1)), enterSends);
    }

    pagetest::PageRig rig;
    OX::CalibrationPage* page = nullptr;
};

TEST_F(CalibrationPageTest, LevelsGiveBarsHintAndAnimation)
{
    ASSERT_NO_FATAL_FAILURE(open());
    setLevels(3, 0, 1); // calibration byte 0x13
    ASSERT_TRUE(waitUntil([&] { return page->barValues() == QList<int>({ 100, 33, 0 }); }));
    EXPECT_EQ(page->hint(), GyroHint);
    EXPECT_EQ(page->currentAnimation(), OX::CalibrationPage::Gyroscope);

    setLevels(2, 3, 3); // 0x3E
    ASSERT_TRUE(waitUntil([&] { return page->barValues() == QList<int>({ 66, 100, 100 }); }));
    EXPECT_EQ(page->hint(), MagnetoHint);
    EXPECT_EQ(page->currentAnimation(), OX::CalibrationPage::Magnetometer);
    auto* magneto = page->findChild<OX::ProgressView*>(QStringLiteral("magnetoProgress"));
    magneto->resize(400, 33);
    EXPECT_EQ(magneto->litSegments(), 2);
    EXPECT_EQ(right(), QStringLiteral("Reset"));
}

TEST_F(CalibrationPageTest, CompleteLevelsWhileCalibratingEndTheCalibration)
{
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(startCalibrating());
    ASSERT_TRUE(waitUntil([&] { return right() == QStringLiteral("Cancel"); })); // levels went to 0
    setLevels(3, 3, 3); // 0x3F
    ASSERT_TRUE(waitUntil([&] { return page->state() == OX::CalibrationPage::Complete; }));
    EXPECT_EQ(right(), QStringLiteral("Reset"));
    EXPECT_EQ(page->hint(), CompleteHint);
    EXPECT_EQ(page->currentAnimation(), OX::CalibrationPage::Done);
    // Complete is not calibrating: leaving sends no exit.
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    EXPECT_EQ(bursts(calibrationCommand(0)), 0);
}

TEST_F(CalibrationPageTest, EnterRefusedWhileActiveEndsFailedNotBusy)
{
    ASSERT_NO_FATAL_FAILURE(open(1000000, 1));
    expectFailedEnter(0); // code 7: nothing is sent
}

// An enter never answered may have been taken: it is told as unconfirmed, not as failed, and
// "Cancel" or leaving takes the headset out.
TEST_F(CalibrationPageTest, AnUnansweredEnterIsToldUnconfirmedAndLeavingTakesTheHeadsetOut)
{
    ASSERT_NO_FATAL_FAILURE(open());
    rig.emulator().addFault(lostAcknowledgements());
    testutil::BoxAnswerer boxes;
    boxes.answer(EnterUnconfirmed, QStringLiteral("OK"));
    pressReset();
    ASSERT_TRUE(
        waitUntil([&] { return !boxes.seen().isEmpty() && !QApplication::activeModalWidget(); }, 3000));
    EXPECT_TRUE(boxes.unexpected().isEmpty()) << boxes.unexpected().join(", ").toStdString();
    EXPECT_EQ(page->state(), OX::CalibrationPage::Calibrating);
    EXPECT_EQ(right(), QStringLiteral("Cancel"));
    rig.emulator().clearFaults();
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 3000));
    EXPECT_FALSE(rig.emulator().headset().calibrating);
}

// The levels of a headset put into calibration may not move at once: "Cancel" comes with the
// headset's answer.
TEST_F(CalibrationPageTest, CancelIsOfferedWhileTheLevelsStandStill)
{
    ASSERT_NO_FATAL_FAILURE(open());
    setLevels(0, 0, 0); // entering calibration leaves them so
    ASSERT_TRUE(waitUntil([&] { return page->barValues() == QList<int>({ 0, 0, 0 }); }));
    pressReset();
    ASSERT_TRUE(
        waitUntil([&] { return page->state() == OX::CalibrationPage::Calibrating && !rig.container.busy; }));
    EXPECT_EQ(right(), QStringLiteral("Cancel"));
    rig.container.clickRight();
    ASSERT_TRUE(waitUntil([&] { return page->state() == OX::CalibrationPage::Stopped; }));
    EXPECT_FALSE(rig.emulator().headset().calibrating);
}

TEST_F(CalibrationPageTest, LeavingWhileCalibratingWaitsForTheOneExit)
{
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(startCalibrating());
    rig.emulator().addFault(emu::FaultRule::noReply(calibrationCommand(0)));
    rig.container.clickLeft();
    // The page being left writes nothing over the menu; the switch holds the navigation meanwhile.
    EXPECT_FALSE(rig.container.busy);
    EXPECT_FALSE(rig.container.navigationEnabled(OX::NavigationOptions::all));
    EXPECT_NE(rig.container.controller.currentPageName(), QStringLiteral("Menu")); // waits for the answer
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 3000));
    // The exit's end and the headset's updates after it write no Reset over the menu.
    bool answered = false;
    rig.dongle()->queryProfile([&answered](DongleProfile*, DongleResult) { answered = true; });
    ASSERT_TRUE(waitUntil([&] { return answered; }));
    EXPECT_EQ(rig.container.footer.right.page, nullptr) << rig.container.footer.right.text.toStdString();
    // Never confirmed, the exit leaves the calibration under way, to be ended once it is heard.
    EXPECT_EQ(page->state(), OX::CalibrationPage::Calibrating);
    EXPECT_FALSE(rig.container.busy);
    EXPECT_EQ(bursts(calibrationCommand(0)), 1);
    EXPECT_EQ(rig.container.calls.count(QStringLiteral("Menu.pageWillAppear(Calibration)")), 1);
}

// An exit the headset never confirms while the person leaves is told by the director, not as
// if the calibration had ended.
TEST_F(CalibrationPageTest, AnExitTheHeadsetNeverConfirmsOnLeavingIsToldByTheDirector)
{
    rig.viaDirector = true;
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(startCalibrating());
    rig.emulator().addFault(emu::FaultRule::noReply(calibrationCommand(0)));
    testutil::BoxAnswerer boxes;
    rig.container.clickLeft();
    auto const& told = rig.app->h.messages;
    ASSERT_TRUE(waitUntil(
        [&] { return rig.container.controller.currentPageName() == "Menu" && !told.isEmpty(); }, 3000));
    EXPECT_EQ(told.at(0).title + ": " + told.at(0).text, QStringLiteral("Calibration: ") + ExitFailed);
    EXPECT_TRUE(boxes.seen().isEmpty()) << "no box of the page over the menu";
}

// An exit refused while the headset is active leaves it calibrating: "Cancel" stays offered,
// leaving tries the exit again, and a headset still active then is taken out of calibration once
// it goes passive.
TEST_F(CalibrationPageTest, ARefusedExitLeavesTheCalibrationUnderWay)
{
    rig.viaDirector = true;
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(startCalibrating());
    auto setControl = [&](uint8_t control) {
        rig.emulator().updateHeadset([control](emu::HeadsetModel& h) { h.control = control; });
        return waitUntil([&] { return rig.headset()->isActive() == (control != 0); });
    };
    ASSERT_TRUE(setControl(1));
    testutil::BoxAnswerer boxes;
    boxes.answer(ExitFailed, QStringLiteral("OK"));
    rig.container.clickRight(); // Cancel, refused with nothing sent
    ASSERT_TRUE(waitUntil([&] { return !boxes.seen().isEmpty() && !QApplication::activeModalWidget(); }));
    EXPECT_TRUE(rig.emulator().headset().calibrating);
    EXPECT_EQ(page->state(), OX::CalibrationPage::Calibrating);
    EXPECT_EQ(right(), QStringLiteral("Cancel"));
    rig.container.clickLeft(); // refused again
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 3000));
    EXPECT_TRUE(rig.emulator().headset().calibrating);
    ASSERT_TRUE(setControl(0));
    EXPECT_TRUE(waitUntil([&] { return !rig.emulator().headset().calibrating; }, 3000));
    EXPECT_EQ(bursts(calibrationCommand(0)), 1);
}

// Levels that move while a request is out leave the busy footer's button off.
TEST_F(CalibrationPageTest, LevelsDuringARequestKeepTheButtonOff)
{
    ASSERT_NO_FATAL_FAILURE(open());
    rig.emulator().addFault(emu::FaultRule::delayRequest(calibrationCommand(1), testutil::scaled(800), -1));
    pressReset();
    setLevels(2, 1, 3);
    ASSERT_TRUE(waitUntil([&] { return page->barValues() == QList<int>({ 66, 100, 33 }); }));
    EXPECT_TRUE(rig.container.busy);
    EXPECT_FALSE(rig.container.rightEnabled[0]);
    ASSERT_TRUE(waitUntil([&] { return !rig.container.busy; }, 3000));
    EXPECT_TRUE(rig.container.rightEnabled[0]);
    EXPECT_EQ(right(), QStringLiteral("Cancel"));
}

TEST_F(CalibrationPageTest, NoHeadsetShowsNotFoundAndLeavesAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(open(0, 0, false));
    EXPECT_EQ(page->barValues(), QList<int>({ 0, 0, 0 }));
    EXPECT_EQ(page->hint(), QStringLiteral("Headset not found"));
    rig.container.clickRight(); // Reset: nothing to ask
    EXPECT_FALSE(rig.container.busy);
    bool left = false;
    page->cancelCalibration([&] { left = true; });
    EXPECT_TRUE(left);
    rig.container.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
}

TEST_F(CalibrationPageTest, UnplugWhileBusyGivesNavigationBackOnce)
{
    rig.viaDirector = true; // the dongle goes as the director sees it go
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(startCalibrating());
    rig.emulator().addFault(emu::FaultRule::noReply(calibrationCommand(0)));
    rig.container.clickLeft(); // waits for the exit
    ASSERT_FALSE(rig.container.navigationEnabled(OX::NavigationOptions::all));
    ASSERT_TRUE(rig.unplug());
    EXPECT_FALSE(rig.container.busy);
    EXPECT_TRUE(rig.container.navigationEnabled(OX::NavigationOptions::all));
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    testutil::spin(200); // a late answer changes nothing
    EXPECT_EQ(rig.container.calls.count(QStringLiteral("Menu.pageWillAppear(Calibration)")), 1);
    EXPECT_EQ(page->hint(), QStringLiteral("Headset not found"));
    // With the dongle back, the headset, which never heard the exit, is taken out of calibration
    // and the page offers Reset for it again.
    rig.emulator().clearFaults();
    ASSERT_TRUE(rig.emulator().headset().calibrating);
    ASSERT_TRUE(rig.replug());
    ASSERT_TRUE(waitUntil([&] { return !rig.emulator().headset().calibrating; }));
    ASSERT_TRUE(rig.show(QStringLiteral("Calibration")));
    EXPECT_TRUE(waitUntil([&] {
        return page->hint() != "Headset not found" && rig.container.rightEnabled[0] && right() == "Reset";
    }));
}

// A headset out of range for a moment keeps calibrating: heard again, it is offered "Cancel",
// and leaving takes it out of calibration. So is a headset that went before it answered Reset:
// it may have taken it.
TEST_F(CalibrationPageTest, AHeadsetBackInRangeMidCalibrationIsTakenOutOfItOnLeaving)
{
    rig.viaDirector = true;
    rig.shortWatchdog();
    ASSERT_NO_FATAL_FAILURE(open());
    for (bool answered : { true, false }) {
        SCOPED_TRACE(answered ? "calibrating" : "reset unanswered");
        if (!answered) // shown again
            ASSERT_TRUE(rig.show(QStringLiteral("Calibration")));
        ASSERT_TRUE(
            waitUntil([&] { return right() == QStringLiteral("Reset") && rig.container.rightEnabled[0]; }));
        testutil::BoxAnswerer boxes; // a time-out may come before the loss
        boxes.answer(EnterUnconfirmed, QStringLiteral("OK"));
        if (answered) {
            ASSERT_NO_FATAL_FAILURE(startCalibrating());
        } else {
            rig.emulator().addFault(lostAcknowledgements());
            pressReset();
            ASSERT_TRUE(waitUntil([&] { return rig.emulator().headset().calibrating; }));
        }
        rig.emulator().headsetInRange(false);
        ASSERT_TRUE(waitUntil([&] { return !rig.headset(); }, 4000));
        EXPECT_EQ(page->hint(), QStringLiteral("Headset not found"));
        EXPECT_FALSE(rig.container.rightEnabled[0]);
        rig.emulator().clearFaults();
        rig.emulator().headsetInRange(true);
        ASSERT_TRUE(rig.headsetRuns());
        ASSERT_TRUE(
            waitUntil([&] { return right() == QStringLiteral("Cancel") && rig.container.rightEnabled[0]; }));
        const int exits = bursts(calibrationCommand(0));
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 3000));
        EXPECT_EQ(bursts(calibrationCommand(0)), exits + 1);
        EXPECT_FALSE(rig.emulator().headset().calibrating);
    }
}

// Left while the headset is out of range, the calibration is ended as soon as the headset is
// heard again.
TEST_F(CalibrationPageTest, AHeadsetLeftCalibratingOutOfRangeIsTakenOutOfItWhenBack)
{
    rig.viaDirector = true;
    rig.shortWatchdog();
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(startCalibrating());
    rig.emulator().headsetInRange(false);
    ASSERT_TRUE(waitUntil([&] { return !rig.headset(); }, 4000));
    for (int leave = 0; leave < 2; ++leave) { // shown again meanwhile, it still offers "Cancel"
        if (leave)
            ASSERT_TRUE(rig.show(QStringLiteral("Calibration")));
        EXPECT_EQ(right(), QStringLiteral("Cancel"));
        rig.container.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }));
    }
    rig.emulator().headsetInRange(true);
    ASSERT_TRUE(waitUntil([&] { return !rig.emulator().headset().calibrating; }, 4000));
    EXPECT_EQ(bursts(calibrationCommand(0)), 1);
    ASSERT_TRUE(rig.show(QStringLiteral("Calibration")));
    EXPECT_TRUE(
        waitUntil([&] { return right() == QStringLiteral("Reset") && rig.container.rightEnabled[0]; }));
}

// The page sent away while its Reset is still out (as the main window does for a headset without
// a network): the switch waits for the headset's answer and takes it out of calibration again.
TEST_F(CalibrationPageTest, APageSentAwayDuringResetTakesTheHeadsetOutBeforeItGoes)
{
    ASSERT_NO_FATAL_FAILURE(open());
    // The headset takes the enter at once; its answers are late.
    rig.emulator().addFault(
        emu::FaultRule::delayReply(emu::FrameFilter::of(emu::pid::ACK, 0x20), testutil::scaled(300), -1));
    pressReset();
    ASSERT_TRUE(rig.container.busy);
    ASSERT_TRUE(rig.container.controller.showPage(QStringLiteral("Menu"), 1, 0, true));
    EXPECT_NE(rig.container.controller.currentPageName(), QStringLiteral("Menu")); // waits for the answer
    ASSERT_TRUE(waitUntil([&] { return rig.container.controller.currentPageName() == "Menu"; }, 3000));
    ASSERT_TRUE(waitUntil([&] { return bursts(calibrationCommand(0)) == 1; }));
    EXPECT_TRUE(waitUntil([&] { return !rig.emulator().headset().calibrating; }));
    EXPECT_EQ(page->state(), OX::CalibrationPage::Stopped);
    EXPECT_EQ(rig.container.calls.count(QStringLiteral("Menu.pageWillAppear(Calibration)")), 1);
}

TEST_F(CalibrationPageTest, HintsWalkTheSensorsInTurnForAPerson)
{
    // The test moves the levels itself: a stage the headset passes through while the test thread
    // is saving a screenshot on a busy machine is never skipped.
    ASSERT_NO_FATAL_FAILURE(open());
    testutil::saveScreenshot(&rig.container.controller, QStringLiteral("calibration-0-shown"));
    ASSERT_NO_FATAL_FAILURE(startCalibrating());
    const QList<std::array<uint8_t, 3>> levels = { { 0, 0, 0 }, { 0, 0, 3 }, { 3, 0, 3 }, { 3, 3, 3 } };
    const QStringList hints = { GyroHint, MagnetoHint, AcceleroHint, CompleteHint };
    for (int stage = 0; stage < hints.size(); ++stage) {
        setLevels(levels[stage][0], levels[stage][1], levels[stage][2]);
        ASSERT_TRUE(waitUntil([&] { return page->hint() == hints[stage]; }, 10000))
            << hints[stage].toStdString();
        testutil::saveScreenshot(&rig.container.controller, QStringLiteral("calibration-%1").arg(stage + 1));
    }
    EXPECT_EQ(page->barValues(), QList<int>({ 100, 100, 100 }));
    EXPECT_EQ(page->state(), OX::CalibrationPage::Complete);
}

} // namespace
