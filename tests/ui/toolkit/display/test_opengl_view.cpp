// The 3D headset under Xvfb with software GL: what it draws active and inactive, how the reference
// orientation works, and the models that cannot be shown. Skipped without a GL context.
#include "common/gui_util.h"
#include "common/qt_wait.h"
#include "ui/toolkit/OpenGLView.h"
#include "ui/toolkit/Skin.h"

#include <QFile>
#include <QOpenGLContext>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>

namespace
{

#if defined(__SANITIZE_ADDRESS__)
constexpr bool AllocationFailuresEndTheProgram = true;
#elif defined(__has_feature)
constexpr bool AllocationFailuresEndTheProgram = __has_feature(address_sanitizer);
#else
constexpr bool AllocationFailuresEndTheProgram = false;
#endif

constexpr int Side = 300;
QPoint const Corner(2, 2);
QPoint const Centre(Side / 2, Side / 2);

bool showView(OX::OpenGLView& view)
{
    view.resize(Side, Side);
    view.show();
    return QTest::qWaitForWindowExposed(&view) && view.context() && view.context()->isValid();
}

// Pixels whose blue stands clearly above red: the active look's colour.
int bluePixels(QImage const& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QColor const c = image.pixelColor(x, y);
            count += c.blue() > c.red() + 60 ? 1 : 0;
        }
    return count;
}

bool isRestPose(QMatrix4x4 const& m)
{
    QMatrix4x4 const identity;
    for (int i = 0; i < 16; ++i)
        if (std::abs(m.constData()[i] - identity.constData()[i]) > 1e-5f)
            return false;
    return true;
}

QQuaternion const Nod = QQuaternion::fromEulerAngles(20, 0, 0);
QQuaternion const Turn = QQuaternion::fromEulerAngles(0, 30, 0);

// Writes quad.obj (a 4 x 4 quad facing the camera, then body) and quad.mtl (material) into dir.
bool writeQuad(QTemporaryDir const& dir, QByteArray const& body, QByteArray const& material)
{
    QFile obj(dir.filePath(QStringLiteral("quad.obj")));
    QFile mtl(dir.filePath(QStringLiteral("quad.mtl")));
    return obj.open(QIODevice::WriteOnly)
        && obj.write(
               QByteArray("mtllib quad.mtl\nv -2 -2 0\nv 2 -2 0\nv 2 2 0\nv -2 2 0\nvn 0 0 -1\n") + body)
        > 0
        && mtl.open(QIODevice::WriteOnly) && mtl.write(material) > 0;
}

// The shipped model shown active on the display.
class ShownActiveView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testutil::hasDisplay())
            GTEST_SKIP() << "no display";
        if (!showView(view))
            GTEST_SKIP() << "no GL context";
        view.setActive(true);
    }

    OX::OpenGLView view;
};

} // namespace

TEST(OpenGLView, ActiveShowsTheColouredLookAndInactiveTheGreyRestPose)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    OX::OpenGLView view;
    view.cleanup(); // before any context: nothing to free
    if (!showView(view))
        GTEST_SKIP() << "no GL context";
    view.setActive(true);
    QImage const active = view.grabFramebuffer();
    EXPECT_EQ(active.pixelColor(Corner), QColor(0x32, 0x32, 0x32));
    EXPECT_NE(active.pixelColor(Centre), QColor(0x32, 0x32, 0x32));
    EXPECT_GT(bluePixels(active), 500);
    testutil::saveScreenshot(active, QStringLiteral("opengl-view-active"));

    view.setOrientation(Nod);
    view.setOrientation(Turn);
    EXPECT_FALSE(isRestPose(view.modelMatrix()));
    view.setActive(false);
    EXPECT_TRUE(isRestPose(view.modelMatrix()));
    QImage const inactive = view.grabFramebuffer();
    EXPECT_FALSE(testutil::imagesClose(active, inactive, 16, 0.005));
    EXPECT_EQ(bluePixels(inactive), 0);
    EXPECT_NE(inactive.pixelColor(Centre), QColor(0x32, 0x32, 0x32));
    testutil::saveScreenshot(inactive, QStringLiteral("opengl-view-inactive"));

    view.cleanup(); // everything freed: made again at the next drawing
    EXPECT_TRUE(testutil::imagesClose(view.grabFramebuffer(), inactive, 0, 0.0));
}

TEST_F(ShownActiveView, AfterAResetTheNextOrientationIsTheRestPose)
{
    view.setActive(true); // no change: the reference stays
    view.setOrientation(Nod);
    QImage const rest = view.grabFramebuffer();
    EXPECT_TRUE(isRestPose(view.modelMatrix()));
    view.setOrientation(Turn);
    QImage const turned = view.grabFramebuffer();
    EXPECT_FALSE(testutil::imagesClose(rest, turned, 16, 0.005));
    testutil::saveScreenshot(turned, QStringLiteral("opengl-view-turned"));

    view.resetOrientation();
    EXPECT_FALSE(isRestPose(view.modelMatrix())); // the last pose stays until the next orientation
    view.setOrientation(Turn);
    EXPECT_TRUE(isRestPose(view.modelMatrix()));
    // Drawn again only where the model was and is: the turned pose leaves no trace.
    EXPECT_TRUE(testutil::imagesClose(rest, view.grabFramebuffer(), 0, 0.0));
}

TEST(OpenGLView, AnOrientationIsTakenAtLengthOneAndOneOfNoLengthOrNotFiniteIsIgnored)
{
    OX::OpenGLView view;
    view.setActive(true);
    float const nan = std::nanf("");
    // Neither becomes the reference: the first real turn does.
    view.setOrientation(QQuaternion(0, 0, 0, 0));
    view.setOrientation(QQuaternion(nan, 0, 0, 0));
    EXPECT_FALSE(view.hasReference());
    view.setOrientation(Nod * 3.0f);
    view.setOrientation(Turn * 0.5f);
    QMatrix4x4 const turned = view.modelMatrix();
    QMatrix4x4 expected;
    expected.rotate(Nod.inverted() * Turn);
    EXPECT_TRUE(isRestPose(expected.inverted() * turned)) << turned.determinant();
    view.setOrientation(QQuaternion(1, nan, 0, 0));
    view.setOrientation(QQuaternion(0, 0, 0, 0));
    EXPECT_EQ(view.modelMatrix(), turned);
}

TEST(OpenGLView, AMaterialWhoseImagesAllFailIsRedAndAnEmptyModelShowsOnlyTheBackground)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    ASSERT_TRUE(writeQuad(dir, "usemtl lost\nf 1//1 3//1 2//1\nf 1//1 4//1 3//1\n",
        "newmtl lost\nKd 0 1 0\nmap_Kd gone.png\nmap_Kd gone_too.png\n"));

    OX::OpenGLView red(dir.path() + QLatin1Char('/'), QStringLiteral("quad.obj"));
    if (!showView(red))
        GTEST_SKIP() << "no GL context";
    QColor const centre = red.grabFramebuffer().pixelColor(Centre);
    EXPECT_GT(centre.red(), 200);
    EXPECT_LT(centre.green(), 30);

    OX::OpenGLView empty(dir.path() + QLatin1Char('/'), QStringLiteral("absent.obj"));
    ASSERT_TRUE(showView(empty));
    empty.setActive(true);
    empty.setOrientation(Nod);
    QImage const image = empty.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QImage background(image.size(), QImage::Format_RGB32);
    background.fill(OX::Skin::color(QStringLiteral("pageBackgroundColor")));
    EXPECT_TRUE(testutil::imagesClose(image, background, 0, 0.0));
    empty.cleanup();
    empty.cleanup(); // freed already: nothing more
}

TEST(OpenGLView, TheSetUpMadeAheadWaitsForAWindowAndGoesToTheFirstViewOfTheShippedModel)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QWidget window;
    window.resize(Side, Side);
    OX::OpenGLView::prepareWhenIdle();
    QTest::qWait(10);
    EXPECT_FALSE(OX::OpenGLView::isPrepared()); // no window shown yet: nothing made
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(testutil::waitUntil([] { return OX::OpenGLView::isPrepared(); }));
    // Kept current after its drawings: the context the set-up made.
    QOpenGLContext* const madeAhead = QOpenGLContext::currentContext();
    if (!madeAhead)
        GTEST_SKIP() << "no GL context";

    OX::OpenGLView another(QStringLiteral(":/3D/"), QStringLiteral("absent.obj"));
    ASSERT_TRUE(showView(another));
    EXPECT_NE(another.context(), madeAhead); // another model makes its own

    OX::OpenGLView first;
    ASSERT_TRUE(showView(first));
    EXPECT_EQ(first.context(), madeAhead);
    OX::OpenGLView::prepareWhenIdle(); // once only
    OX::OpenGLView second;
    ASSERT_TRUE(showView(second));
    EXPECT_NE(second.context(), madeAhead);
    for (bool active : { true, false }) {
        first.setActive(active);
        second.setActive(active);
        first.setOrientation(Turn);
        second.setOrientation(Turn);
        EXPECT_TRUE(testutil::imagesClose(first.grabFramebuffer(), second.grabFramebuffer(), 0, 0.0));
    }
}

// The depth buffer is cleared only now and then: whatever earlier drawings of other poses left in
// it, across many drawings and its clears, a pose is drawn as a fresh view draws it.
TEST(OpenGLView, APoseLooksTheSameHoweverManyDrawingsCameBefore)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    OX::OpenGLView view;
    if (!showView(view))
        GTEST_SKIP() << "no GL context";
    view.setActive(true);
    QQuaternion const poses[] = { QQuaternion(), Nod, Turn, Nod * Turn };
    QImage fresh[4];
    for (int i = 0; i < 4; ++i) {
        view.resetOrientation();
        view.setOrientation(QQuaternion());
        view.setOrientation(poses[i]);
        view.cleanup(); // a new context: its first drawing starts from a cleared depth buffer
        fresh[i] = view.grabFramebuffer();
    }
    EXPECT_FALSE(testutil::imagesClose(fresh[0], fresh[3], 16, 0.005));
    view.resetOrientation();
    view.setOrientation(QQuaternion());
    for (int drawing = 0; drawing < 300; ++drawing) {
        int const i = (drawing * 7 / 3) % 4;
        view.setOrientation(poses[i]);
        QImage const picture = view.grabFramebuffer();
        if (drawing % 5 == 0 || drawing > 250)
            ASSERT_TRUE(testutil::imagesClose(picture, fresh[i], 0, 0.0)) << "drawing " << drawing;
    }
}

TEST(OpenGLView, WhatReachesTheScreenIsThePictureAlsoWhereOnlyPartOfTheViewIsRepainted)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    OX::OpenGLView view;
    if (!showView(view))
        GTEST_SKIP() << "no GL context";
    view.setActive(true);
    QImage expected;
    auto onScreen = [&view] {
        return view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    };
    for (QQuaternion const& pose : { Nod, Turn, QQuaternion() }) {
        view.setOrientation(pose); // repaints the model's old and new area only
        expected = view.grabFramebuffer();
        EXPECT_TRUE(testutil::waitUntil([&] { return testutil::imagesClose(onScreen(), expected, 0, 0.0); }));
    }
    view.update(QRect(Corner, QSize(Side / 2, Side / 3))); // part background, part model
    EXPECT_TRUE(testutil::waitUntil([&] { return testutil::imagesClose(onScreen(), expected, 0, 0.0); }));
    testutil::saveScreenshot(onScreen(), QStringLiteral("opengl-view-on-screen"));
}

TEST(OpenGLView, ATriangleOnOneColourOfItsTextureShowsThatColourAndOneAcrossColoursBlendsThem)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    // Active look: orange on the left half, azure on the right; inactive look: violet all over.
    QImage active(8, 8, QImage::Format_ARGB32);
    active.fill(QColor(200, 100, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            active.setPixelColor(x, y, QColor(0, 100, 200));
    QImage inactive(8, 8, QImage::Format_ARGB32);
    inactive.fill(QColor(100, 0, 200));
    ASSERT_TRUE(active.save(dir.filePath(QStringLiteral("halves.png"))));
    ASSERT_TRUE(inactive.save(dir.filePath(QStringLiteral("violet.png"))));
    // The first triangle reaches orange texels only, the second both halves.
    ASSERT_TRUE(writeQuad(dir,
        "vt 0.05 0.1\nvt 0.3 0.9\nvt 0.3 0.1\nvt 0.05 0.9\nvt 0.95 0.9\n"
        "usemtl halves\nf 1/1/1 3/2/1 2/3/1\nf 1/1/1 4/4/1 3/5/1\n",
        "newmtl halves\nmap_Kd halves.png\nmap_Kd violet.png\n"));

    OX::OpenGLView view(dir.path() + QLatin1Char('/'), QStringLiteral("quad.obj"));
    if (!showView(view))
        GTEST_SKIP() << "no GL context";
    // Pixels of a colour whose channels stand as r : g : b, by their ratio to the largest.
    auto count = [](QImage const& image, int r, int g, int b) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                QColor const c = image.pixelColor(x, y);
                int const top = qMax(c.red(), qMax(c.green(), c.blue()));
                n += top > 40 && std::abs(c.red() * 200 - r * top) <= 6 * top
                        && std::abs(c.green() * 200 - g * top) <= 6 * top
                        && std::abs(c.blue() * 200 - b * top) <= 6 * top
                    ? 1
                    : 0;
            }
        return n;
    };
    view.setActive(true);
    QImage const halves = view.grabFramebuffer();
    int const orange = count(halves, 200, 100, 0);
    int const azure = count(halves, 0, 100, 200);
    EXPECT_GT(orange, 5000); // the first triangle and part of the second
    EXPECT_GT(azure, 2000);
    int blended = 0; // orange and azure mixed: red plus blue twice the green
    for (int y = 0; y < halves.height(); ++y)
        for (int x = 0; x < halves.width(); ++x) {
            QColor const c = halves.pixelColor(x, y);
            blended
                += c.red() > 20 && c.blue() > 20 && std::abs(2 * c.green() - c.red() - c.blue()) <= 6 ? 1 : 0;
        }
    EXPECT_GT(blended, 10);
    view.setActive(false);
    QImage const violet = view.grabFramebuffer();
    EXPECT_GE(count(violet, 100, 0, 200), orange + azure);
    EXPECT_EQ(count(violet, 200, 100, 0), 0);
}

TEST(OpenGLView, AViewTooTallForAFramebufferShowsItsBackgroundOnScreen)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    // The model spans more rows than any driver's framebuffer may have: it cannot be drawn.
    constexpr int Tall = 120000;
    QScrollArea scroll;
    scroll.resize(Side, Side);
    auto* view = new OX::OpenGLView;
    view->resize(Side, Tall);
    scroll.setWidget(view);
    scroll.verticalScrollBar()->setValue((Tall - Side) / 2);
    scroll.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scroll));
    if (!view->context())
        GTEST_SKIP() << "no GL context";
    view->setActive(true);
    view->setOrientation(Nod);
    QColor const background = OX::Skin::color(QStringLiteral("pageBackgroundColor"));
    QPoint const centre = scroll.viewport()->mapTo(&scroll, scroll.viewport()->rect().center());
    EXPECT_TRUE(testutil::waitUntil([&] {
        return scroll.screen()->grabWindow(scroll.winId()).toImage().pixelColor(centre) == background;
    }));
    EXPECT_EQ(view->grabFramebuffer().pixelColor(Side / 2, Tall / 2), background);
}

TEST(OpenGLView, ATextureTooLargeForTheDriverIsShownAsAnImageThatFailed)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    // Wider than any driver's textures, in two colours so that the quad needs the texture.
    constexpr int Wide = 1 << 16;
    QImage wide(Wide, 2, QImage::Format_RGB32);
    wide.fill(QColor(0, 100, 200));
    for (int x = 0; x < Wide; x += 2)
        wide.setPixelColor(x, 0, QColor(200, 100, 0));
    ASSERT_TRUE(wide.save(dir.filePath(QStringLiteral("wide.png"))));
    ASSERT_TRUE(writeQuad(dir,
        "vt 0 0\nvt 1 1\nvt 1 0\nvt 0 1\nusemtl wide\nf 1/1/1 3/2/1 2/3/1\nf 1/1/1 4/4/1 3/2/1\n",
        "newmtl wide\nmap_Kd wide.png\n"));

    OX::OpenGLView view(dir.path() + QLatin1Char('/'), QStringLiteral("quad.obj"));
    if (!showView(view))
        GTEST_SKIP() << "no GL context";
    view.setActive(true);
    QColor const centre = view.grabFramebuffer().pixelColor(Centre);
    EXPECT_GT(centre.red(), 200);
    EXPECT_LT(centre.green(), 30);
}

TEST(OpenGLView, AModelWithACornerFarBeyondTheCameraIsStillDrawn)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    // The grey quad, and a damaged triangle with a corner far out.
    QTemporaryDir dir;
    ASSERT_TRUE(writeQuad(
        dir, "v 1e30 0 0\nf 1//1 3//1 2//1\nf 1//1 4//1 3//1\nf 1//1 2//1 5//1\n", "newmtl unused\n"));
    OX::OpenGLView view(dir.path() + QLatin1Char('/'), QStringLiteral("quad.obj"));
    if (!showView(view))
        GTEST_SKIP() << "no GL context";
    view.setActive(true);
    view.setOrientation(Nod);
    EXPECT_NE(
        view.grabFramebuffer().pixelColor(Centre), OX::Skin::color(QStringLiteral("pageBackgroundColor")));
}

TEST(OpenGLView, AViewTooLargeForAPictureInMemoryGivesNone)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    if (AllocationFailuresEndTheProgram)
        GTEST_SKIP() << "the address checker ends the program where an allocation fails";
    // The model fits a framebuffer; a picture of the whole view would take hundreds of gigabytes.
    OX::OpenGLView view;
    view.resize(QWIDGETSIZE_MAX, 4000);
    view.setActive(true);
    view.setOrientation(Nod);
    EXPECT_TRUE(view.grabFramebuffer().isNull());
}

TEST_F(ShownActiveView, AContextLostMidRunIsMadeAgainAndTheModelDrawnAsBefore)
{
    view.setOrientation(Nod);
    QImage const before = view.grabFramebuffer();
    view.simulateContextLoss();
    view.repaint(); // nothing changed but the context
    EXPECT_TRUE(view.context() && view.context()->isValid());
    EXPECT_TRUE(testutil::imagesClose(view.grabFramebuffer(), before, 0, 0.0));
    view.simulateContextLoss();
    view.setOrientation(Turn); // turned from the same reference
    EXPECT_FALSE(isRestPose(view.modelMatrix()));
    EXPECT_FALSE(testutil::imagesClose(view.grabFramebuffer(), before, 16, 0.005));
}
