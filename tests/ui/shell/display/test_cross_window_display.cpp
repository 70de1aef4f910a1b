// The crosshair overlay on a real X server without a compositing manager: clicks pass through it
// and its clear pixels show the window beneath.
#include "common/gui_util.h"
#include "common/qt_wait.h"
#include "x11_util.h"

#include "ui/shell/CrossWindow.h"
#include "ui/shell/NativeWindow.h"

#include <gtest/gtest.h>

using testutil::waitUntil;

TEST(CrossWindowDisplay, ClicksReachTheWindowBeneathWhichShowsBesideTheLines)
{
    if (!testutil::hasDisplay() || !x11test::canClick())
        GTEST_SKIP() << "no display or no xdotool";
    x11test::InputLock exclusive;
    ASSERT_FALSE(NativeWindow::hasCompositingManager());
    const QColor green(0, 160, 0);
    x11test::Backdrop below(green);
    below.setGeometry(QGuiApplication::primaryScreen()->geometry());
    below.show();
    ASSERT_TRUE(waitUntil(
        [&] { return below.isVisible() && x11test::screen().pixelColor(100, 100) == green; }, 3000));

    CrossWindow cross(nullptr, nullptr);
    cross.runCrossView(true, 8000, []() {});
    ASSERT_TRUE(cross.isVisible());
    const QPoint centre(960, 540);
    EXPECT_EQ(cross.geometry(), QRect(0, 0, 1920, 1080));
    // The vertical line is drawn, its surroundings are the window beneath.
    ASSERT_TRUE(waitUntil([&] { return x11test::screen().pixelColor(960, 900) == QColor(Qt::red); }, 3000));
    testutil::spin(400); // brackets on their way in
    const QImage shot = x11test::screen();
    testutil::saveScreenshot(shot, QStringLiteral("crosshair-mid-countdown"));
    EXPECT_EQ(shot.pixelColor(1000, 940), green);
    EXPECT_EQ(shot.pixelColor(200, 200), green);
    // The digits change many times a second; the shape cut around them is the shape of the digits
    // painted in the same frame, so no black shows beside them (a shape a frame behind shows
    // black in nearly every grab; a grab between the shape and the paint of one frame, which a
    // loaded X server makes more likely, may not).
    const QRect digits(1000, 420, 460, 140);
    constexpr int Grabs = 10;
    int blackGrabs = 0;
    for (int grab = 0; grab < Grabs; ++grab) {
        const QImage frame = x11test::screen();
        int black = 0;
        for (int y = digits.top(); y <= digits.bottom(); ++y)
            for (int x = digits.left(); x <= digits.right(); ++x) {
                const QRgb p = frame.pixel(x, y);
                black += qMax(qMax(qRed(p), qGreen(p)), qBlue(p)) < 40;
            }
        blackGrabs += black > 0;
        testutil::spin(90);
    }
    EXPECT_LE(blackGrabs, Grabs * 4 / 10);

    // A click at the crosshair's centre, where the overlay draws, reaches the window beneath.
    // A loaded X server can lose a synthetic click: one more is sent before giving up (an
    // overlay that caught clicks would let neither through).
    ASSERT_TRUE(x11test::click(centre));
    if (!waitUntil([&] { return below.presses >= 1; }, 3000)) {
        ASSERT_TRUE(x11test::click(centre));
    }
    EXPECT_TRUE(waitUntil([&] { return below.presses >= 1; }, 3000));
    EXPECT_TRUE(cross.isRunning());
    cross.abortCrossView();
}
