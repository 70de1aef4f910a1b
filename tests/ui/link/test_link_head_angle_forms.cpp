// The twelve head-angle forms: each shows the record, drags one marker, writes its field with the
// pushes that keep the axis ordered, and follows the emulated head with its needle.
#include "ui/link/LinkHeadAngleForms.h"

#include "link_forms_util.h"

#include "common/dongle_fixture.h"
#include "device/Headset.h"
#include "device/LinkProfile.h"
#include "ui/toolkit/HeadAngleView.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace
{

using linktest::Changes;

struct FormRow {
    std::function<OX::LinkHeadAngleForm*(LPP&)> make;
    char const* name;
    char const* marker;
    quint32 clickMask; // a press and release without a move on the built-in record
};

template <class F> std::function<OX::LinkHeadAngleForm*(LPP&)> maker()
{
    return [](LPP& lpp) { return new F(lpp); };
}

// The forms in the page's order. A click stores the marker's own angle: equal values push nothing.
std::vector<FormRow> const& forms()
{
    static const std::vector<FormRow> rows = {
        { maker<OX::LinkMoveForwardForm>(), "LinkMoveForwardForm", "move_forward", 0x1001 },
        { maker<OX::LinkForwardSafetyLimitForm>(), "LinkForwardSafetyLimitForm", "safety_limit_forward",
            0x1000 },
        { maker<OX::LinkMoveBackwardForm>(), "LinkMoveBackwardForm", "move_backward", 0x2001 },
        { maker<OX::LinkBackwardSafetyLimitForm>(), "LinkBackwardSafetyLimitForm", "safety_limit_backward",
            0x2000 },
        { maker<OX::LinkForwardSlowspeedForm>(), "LinkForwardSlowspeedForm", "DZ_I_forward", 0x8 },
        { maker<OX::LinkForwardHighSpeedForm>(), "LinkForwardHighSpeedForm", "DZ_O_forward", 0x10 },
        { maker<OX::LinkTurningRightForm>(), "LinkTurningRightForm", "move_right", 0x8004 },
        { maker<OX::LinkRightSafetyLimitForm>(), "LinkRightSafetyLimitForm", "safety_limit_right", 0x8000 },
        { maker<OX::LinkTurningLeftForm>(), "LinkTurningLeftForm", "move_left", 0x4002 },
        { maker<OX::LinkLeftSafetyLimitForm>(), "LinkLeftSafetyLimitForm", "safety_limit_left", 0x4000 },
        { maker<OX::LinkTurningSlowspeedform>(), "LinkTurningSlowspeedform", "DZ_I_right", 0x20 },
        { maker<OX::LinkTurningHighspeedForm>(), "LinkTurningHighspeedForm", "DZ_O_right", 0x40 },
    };
    return rows;
}

double shown(OX::LinkHeadAngleForm& form, char const* marker)
{
    return form.headAngleView()->angle(QLatin1String(marker)).value;
}

// What the view does when a person drags marker to angle and lets go.
void drag(OX::LinkHeadAngleForm& form, char const* marker, double angle)
{
    form.headAngleView()->setAngle(QLatin1String(marker), angle);
    emit form.headAngleView()->angleChanged(QLatin1String(marker), angle);
}

// Forward = backward = left = right = 30 degrees, dead zones 3 and 9 degrees, safety 40.
LPP thirtyDegrees()
{
    LPP lpp = LinkProfile::Normal.parameters;
    lpp.angleForward = lpp.angleBackward = lpp.angleLeft = lpp.angleRight = 60;
    lpp.deadzoneInnerVertical = lpp.deadzoneInnerHorizontal = 40;
    lpp.deadzoneOuterVertical = lpp.deadzoneOuterHorizontal = 120;
    lpp.safetyAngleForward = lpp.safetyAngleBackward = lpp.safetyAngleLeft = lpp.safetyAngleRight = 40;
    return lpp;
}

} // namespace

TEST(LinkHeadAngleForms, EachShowsTheRecordAndReportsOneClickOnItsOneMarker)
{
    for (FormRow const& row : forms()) {
        SCOPED_TRACE(row.name);
        LPP lpp = LinkProfile::Normal.parameters;
        std::unique_ptr<OX::LinkHeadAngleForm> form(row.make(lpp));
        EXPECT_EQ(form->objectName(), QLatin1String(row.name));
        OX::HeadAngleView* view = form->headAngleView();
        const bool drive = QByteArray(row.marker).endsWith("ward");
        char const* d1 = drive ? "forward" : "right";
        // The record, not the markers' starting angles (45, 5, 15, 65).
        EXPECT_EQ(view->angle(QStringLiteral("move_%1").arg(d1)).value, 23.0);
        EXPECT_EQ(view->angle(QStringLiteral("DZ_I_%1").arg(d1)).value, 3.5);
        EXPECT_EQ(view->angle(QStringLiteral("DZ_O_%1").arg(d1)).value, 3.5);
        EXPECT_EQ(view->angle(QStringLiteral("safety_limit_%1").arg(d1)).value, 40.0);
        EXPECT_EQ(view->angle(QStringLiteral("safety_zone_%1").arg(d1)).minimum, 23.0);
        int interactive = 0;
        for (char const* prefix : { "DZ_I_", "move_", "DZ_O_", "safety_zone_", "safety_limit_" })
            for (QString const& d :
                drive ? QStringList { "forward", "backward" } : QStringList { "right", "left" })
                interactive += view->angle(prefix + d).editable ? 1 : 0;
        EXPECT_EQ(interactive, 1);
        EXPECT_TRUE(view->angle(QLatin1String(row.marker)).editable);

        form->resize(640, 480);
        form->show();
        form->grab(); // the paint places the handles
        const QPoint handle = view->angle(QLatin1String(row.marker)).handleRect.center().toPoint();
        Changes changes(form.get());
        const LPP before = lpp;
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, handle);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, handle);
        EXPECT_EQ(changes.masks, QList<quint32> { row.clickMask });
        EXPECT_TRUE(lpp.isEqual(before));
        // Dragged half a degree down and back, the record is the LINK's again: its dead zones of
        // 3.45 degrees, shown as 3.5, keep their bytes instead of a new rounding of 3.5.
        const double at = shown(*form, row.marker);
        drag(*form, row.marker, at - 0.5);
        drag(*form, row.marker, at);
        EXPECT_EQ(lpp.getData().bytes().toHex(' ').toStdString(),
            before.getData().bytes().toHex(' ').toStdString());
        linktest::saveOnPage(form.get(), QStringLiteral("link-%1").arg(QLatin1String(row.name)));
    }
    // 24 forms of the two LINK pages: each picture decoded once in the whole process.
    std::vector<std::unique_ptr<OX::LinkHeadAngleForm>> all;
    LPP lpp;
    for (int page = 0; page < 2; ++page)
        for (FormRow const& row : forms())
            all.emplace_back(row.make(lpp));
    EXPECT_EQ(OX::LinkHeadAngleForm::headPicturesDecoded(), 2);
}

TEST(LinkHeadAngleForms, MovementPushesTheOuterDeadZoneDownAndTheSafetyAngleUp)
{
    LPP lpp = thirtyDegrees();
    OX::LinkMoveForwardForm forward(lpp);
    Changes changes(&forward);
    drag(forward, "move_forward", 6.0);
    EXPECT_EQ(lpp.angleForward, 12);
    EXPECT_EQ(lpp.deadzoneInnerVertical, 67);
    EXPECT_EQ(lpp.deadzoneOuterVertical, 133);
    EXPECT_EQ(shown(forward, "DZ_O_backward"), 6.0);
    EXPECT_EQ(forward.headAngleView()->angle(QStringLiteral("safety_zone_forward")).minimum, 6.0);

    OX::LinkTurningLeftForm left(lpp);
    Changes leftChanges(&left);
    drag(left, "move_left", 45.0);
    EXPECT_EQ(lpp.safetyAngleLeft, 45);
    EXPECT_EQ(shown(left, "safety_limit_left"), 45.0);

    OX::LinkTurningRightForm right(lpp);
    Changes rightChanges(&right);
    drag(right, "move_right", 9.0); // exactly the outer dead zone
    drag(right, "move_right", 40.0); // exactly the safety angle
    drag(right, "move_left", 50.0); // not this form's marker
    EXPECT_EQ(lpp.getDeadzoneOuterHorizontal(), 9.0);
    EXPECT_EQ(lpp.safetyAngleRight, 40);
    EXPECT_EQ(lpp.angleLeft, 90);
    EXPECT_EQ(changes.masks + leftChanges.masks + rightChanges.masks,
        (QList<quint32> { 0x1011, 0x4002, 0x8004, 0x8004, 0 }));
}

TEST(LinkHeadAngleForms, AMovementAngleThatShrinksTheDeadZonesRedrawsThem)
{
    // Forward 60, backward 10 degrees, dead zones 5 and 20 degrees of a mean angle of 35.
    LPP lpp = LinkProfile::Normal.parameters;
    lpp.angleForward = 120;
    lpp.angleBackward = 20;
    lpp.deadzoneInnerVertical = 57;
    lpp.deadzoneOuterVertical = 229;
    OX::LinkMoveForwardForm forward(lpp);
    ASSERT_EQ(shown(forward, "DZ_O_forward"), 20.0);
    Changes changes(&forward);
    // A mean of 20 degrees holds at most 12.75: the outer dead zone shrinks without a push.
    drag(forward, "move_forward", 30.0);
    EXPECT_EQ(lpp.getDeadzoneOuterVertical(), 13.0);
    EXPECT_EQ(shown(forward, "DZ_O_forward"), 13.0);
    EXPECT_EQ(shown(forward, "DZ_O_backward"), 13.0);
    EXPECT_EQ(changes.masks, QList<quint32> { 0x1011 });
}

TEST(LinkHeadAngleForms, DeadZonesAreHeldBelowTheSmallerMovementAngleOfTheAxis)
{
    LPP lpp = LinkProfile::Normal.parameters;
    lpp.angleForward = lpp.angleRight = 120; // 60 degrees
    lpp.angleBackward = lpp.angleLeft = 40; // 20 degrees
    OX::LinkForwardSlowspeedForm slow(lpp);
    OX::LinkForwardHighSpeedForm high(lpp);
    OX::LinkTurningSlowspeedform turnSlow(lpp);
    OX::LinkTurningHighspeedForm turnHigh(lpp);
    EXPECT_EQ(slow.headAngleView()->getMaximum(QStringLiteral("DZ_I_forward")), 20.0);
    EXPECT_EQ(high.headAngleView()->getMaximum(QStringLiteral("DZ_O_forward")), 20.0);
    EXPECT_EQ(turnSlow.headAngleView()->getMaximum(QStringLiteral("DZ_I_right")), 20.0);
    EXPECT_EQ(turnHigh.headAngleView()->getMaximum(QStringLiteral("DZ_O_right")), 20.0);
}

TEST(LinkHeadAngleForms, DeadZonesAndSafetyLimitShowWhatTheRecordHolds)
{
    LPP lpp = LinkProfile::Normal.parameters;
    OX::LinkForwardSlowspeedForm slow(lpp);
    Changes changes(&slow);
    drag(slow, "DZ_I_forward", 5.0);
    EXPECT_EQ(lpp.deadzoneInnerVertical, 87);
    EXPECT_EQ(lpp.deadzoneOuterVertical, 87);
    EXPECT_EQ(shown(slow, "DZ_I_backward"), 5.0);
    EXPECT_EQ(shown(slow, "DZ_O_forward"), 5.0);
    // Beyond 63.75 % of the mean angle the record holds the cap, and so does the dragged marker:
    // what the form shows is what the LINK receives.
    drag(slow, "DZ_I_forward", 20.0);
    EXPECT_EQ(lpp.deadzoneInnerVertical, 255);
    EXPECT_EQ(shown(slow, "DZ_I_forward"), 14.5);
    EXPECT_EQ(shown(slow, "DZ_I_backward"), 14.5);
    EXPECT_EQ(shown(slow, "DZ_O_backward"), 14.5);
    slow.updateUi(LPP::ChangeMask::all);
    EXPECT_EQ(shown(slow, "DZ_I_forward"), 14.5);

    lpp = LinkProfile::Normal.parameters;
    OX::LinkBackwardSafetyLimitForm safety(lpp);
    Changes safetyChanges(&safety);
    drag(safety, "safety_limit_backward", 70.5);
    EXPECT_EQ(lpp.safetyAngleBackward, 71);
    EXPECT_EQ(shown(safety, "safety_zone_backward"), 71.0);
    EXPECT_EQ(shown(safety, "safety_limit_backward"), 71.0); // whole degrees, as stored
    EXPECT_EQ(safety.headAngleView()->getMaximum(QStringLiteral("safety_limit_backward")), 90.0);

    OX::LinkTurningHighspeedForm high(lpp);
    Changes highChanges(&high);
    EXPECT_EQ(high.headAngleView()->getMinimum(QStringLiteral("DZ_O_right")), 3.5);
    EXPECT_EQ(high.headAngleView()->getMaximum(QStringLiteral("DZ_O_right")), 23.0);
    drag(high, "DZ_O_right", 10.0);
    EXPECT_EQ(shown(high, "DZ_O_left"), 10.0);
    EXPECT_EQ(lpp.getDeadzoneOuterHorizontal(), 10.0);
    drag(high, "DZ_O_right", 20.0); // beyond 63.75 % of the mean angle: capped
    EXPECT_EQ(lpp.getDeadzoneOuterHorizontal(), 14.5);
    EXPECT_EQ(shown(high, "DZ_O_right"), 14.5);
    EXPECT_EQ(changes.masks + safetyChanges.masks + highChanges.masks,
        (QList<quint32> { 0x18, 0x18, 0x2000, 0x40, 0x40 }));
}

namespace
{

// A started dongle whose headset's updates go to one form.
struct HeadsetDelegate : DongleDelegate {
    std::function<void(Headset*, HeadsetChangeMask)> onUpdate;
    int orientations = 0;
    DongleResult last;
    void progressUpdate(Progress::Context const&) override { }
    void dongleUpdated(Dongle*, DongleChangeMask) override { }
    void headsetFound(Dongle*, Headset*) override { }
    void headsetLost(Dongle*, Headset*) override { }
    void headsetUpdated(Dongle*, Headset* headset, HeadsetChangeMask mask) override
    {
        orientations += (mask & HeadsetChangeMask::orientation) ? 1 : 0;
        if (onUpdate)
            onUpdate(headset, mask);
    }
    void deviceFound(Dongle*, NPP const&) override { }
    void headsetRssiUpdatede(Dongle*, unsigned short) override { }
    void headsetChannelChanged(Dongle*, Headset*, int, int) override { }
    void headsetStatusChanged(Dongle*, Headset*, bool, bool) override { }
    void dongleError(Dongle*, DongleResult result) override { last = result; }
    DongleResult* lastError() override { return &last; }
    void playAudioFeedback() override { }
};

struct EmulatedHead : ::testing::Test {
    void SetUp() override
    {
        emu::Options options;
        options.timeScale = 0.2;
        ASSERT_NO_FATAL_FAILURE(env.open(options, &delegate));
        emu::HeadsetModel head;
        head.setPose(5, 5, 5); // every pose the test takes is a change
        env.emulator->addHeadset(head);
        ASSERT_EQ(env.start(), 0);
        ASSERT_TRUE(testutil::waitUntil([&] { return delegate.orientations > 0; }, 3000));
    }
    void TearDown() override
    {
        delegate.onUpdate = nullptr;
        env.close(HasFailure());
    }

    // Holds the head at a new pose and returns the needle's angle once the pose reached the form
    // and the needle shows expected (or what it shows after a time-out).
    double poseShows(OX::LinkHeadAngleForm& form, double pitch, double yaw, double roll, double expected)
    {
        delegate.onUpdate = [&form](Headset* h, HeadsetChangeMask m) { form.updateWithHeadset(h, m); };
        const int orientations = delegate.orientations;
        env.emulator->updateHeadset([=](emu::HeadsetModel& h) { h.setPose(pitch, yaw, roll); });
        auto needle = [&form] { return double(form.headAngleView()->monitoringAngle()); };
        testutil::waitUntil(
            [&] {
                return delegate.orientations > orientations
                    && std::abs(needle() - expected) < NeedleTolerance;
            },
            2000);
        return needle();
    }

    static constexpr double NeedleTolerance = 0.2;

    HeadsetDelegate delegate;
    testutil::EmulatedDongle env;
};

} // namespace

TEST_F(EmulatedHead, TheNeedleFollowsPitchOnDriveFormsAndRollOrYawOnTurnForms)
{
    LPP lpp = LinkProfile::Normal.parameters; // horizontal move mode 1: roll
    OX::LinkMoveForwardForm drive(lpp);
    drive.resize(640, 480);
    ASSERT_NEAR(poseShows(drive, 0, 0, 0, 0), 0, NeedleTolerance); // the reference
    ASSERT_NEAR(poseShows(drive, 10, 0, 0, 10), 10, NeedleTolerance);
    delegate.onUpdate = nullptr;
    const float before = drive.headAngleView()->monitoringAngle();
    drive.updateWithHeadset(nullptr, HeadsetChangeMask::all);
    drive.updateWithHeadset(env.dongle->headset(), HeadsetChangeMask::battery);
    EXPECT_EQ(drive.headAngleView()->monitoringAngle(), before);
    linktest::saveOnPage(&drive, QStringLiteral("link-needle-pitch-10"));
    // "&Set center": the next orientation is straight ahead.
    QTest::mouseClick(drive.headAngleView()->centerButton(), Qt::LeftButton);
    EXPECT_NEAR(poseShows(drive, 10, 0, 1, 0), 0, NeedleTolerance);
    EXPECT_NEAR(poseShows(drive, 20, 0, 1, 10), 10, NeedleTolerance);

    OX::LinkTurningRightForm turn(lpp);
    EXPECT_NEAR(poseShows(turn, 0, 0, 0, 0), 0, NeedleTolerance);
    EXPECT_NEAR(poseShows(turn, 0, 15, 5, 5), 5, NeedleTolerance);
    lpp.moveModeHorizontal = 0;
    EXPECT_NEAR(poseShows(turn, 0, 16, 5, -16), -16, NeedleTolerance);
}
