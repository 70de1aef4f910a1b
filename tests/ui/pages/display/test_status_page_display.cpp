// The status page as a person sees it, with the emulated headset streaming: the model follows
// three head poses, and greys out without a headset. Skipped without a display.
#include "common/PageRig.h"
#include "common/gui_util.h"
#include "ui/pages/StatusPage.h"
#include "ui/toolkit/OpenGLView.h"

#include <QLabel>
#include <QOpenGLContext>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace
{

std::array<int16_t, 4> pose(float pitch, float yaw, float roll)
{
    QQuaternion const q = QQuaternion::fromEulerAngles(pitch, yaw, roll);
    auto q14 = [](float v) { return int16_t(std::lround(v * 16384)); };
    return { q14(q.scalar()), q14(q.x()), q14(q.y()), q14(q.z()) };
}

} // namespace

TEST(StatusPageDisplay, TheModelFollowsTheEmulatedHeadAndGreysOutWithoutIt)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    // The director's notifications reach the page as the main window passes them.
    pagetest::PageRig rig;
    rig.viaDirector = true;
    OX::StatusPage page(&rig.container);
    page.resize(900, 560);
    page.setAutoFillBackground(true);
    QPalette palette = page.palette();
    palette.setColor(QPalette::Window, QColor(0x32, 0x32, 0x32));
    page.setPalette(palette);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    if (!page.view()->context() || !page.view()->context()->isValid())
        GTEST_SKIP() << "no GL context";

    rig.shortWatchdog(); // the switched-off headset is lost soon
    emu::HeadsetModel model;
    model.quaternion = pose(0, -20, 0); // turned aside: the first pose below is a new orientation
    ASSERT_TRUE(rig.start(model));
    rig.page = &page;
    page.updateWithHeadset(rig.headset(), HeadsetChangeMask::all); // as the window does first
    ASSERT_TRUE(testutil::waitUntil([&] { return page.view()->isActive(); }));
    page.perform(OX::PageAction::reset); // straight ahead from the next status on
    QImage previous;
    int shot = 0;
    for (auto const& p : { pose(0, 0, 0), pose(25, 0, 0), pose(0, 35, 15) }) {
        rig.emulator().updateHeadset([&](emu::HeadsetModel& h) { h.quaternion = p; });
        int const statuses = rig.emulator().statusesSent();
        ASSERT_TRUE(testutil::waitUntil([&] { return rig.emulator().statusesSent() > statuses + 2; }));
        QImage image;
        EXPECT_TRUE(testutil::waitUntil([&] {
            image = page.grab().toImage();
            return previous.isNull() || !testutil::imagesClose(previous, image, 16, 0.002);
        })) << "pose " << shot;
        previous = image;
        testutil::saveScreenshot(image, QStringLiteral("status-page-pose-%1").arg(shot++));
    }
    EXPECT_EQ(page.findChild<QLabel*>("headsetSerial")->text(), QStringLiteral("HS21000321"));

    EXPECT_TRUE(rig.headsetPower(false));
    EXPECT_TRUE(testutil::waitUntil([&] { return !page.view()->isActive(); }));
    EXPECT_EQ(page.findChild<QLabel*>("headsetSerial")->text(), QStringLiteral("-"));
    testutil::saveScreenshot(&page, QStringLiteral("status-page-no-headset"));
    rig.close(HasFailure());
}
