// The progress bar's segments and fraction, the busy wheel, and the veil over a long operation.
#include "ui/toolkit/ProgressView.h"
#include "ui/toolkit/ProgressWheel.h"
#include "ui/toolkit/ProgressWidget.h"
#include "ui/toolkit/Skin.h"

#include "common/gui_util.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{

using testutil::pixelAt;

TEST(ProgressView, SegmentsLightAtTheirShareOrTheirRightEnd)
{
    const struct {
        int width, value, lit;
    } cases[] = {
        { 100, 33, 1 },
        { 100, 66, 2 },
        { 100, 100, 3 },
        { 370, 33, 1 },
        { 370, 66, 2 },
        { 370, 100, 3 },
        { 100, 32, 1 },
        { 100, 50, 1 },
        { 100, 65, 2 },
        { 370, 32, 0 },
        { 370, 65, 1 },
        { 370, 0, 0 },
    };
    for (const auto& c : cases) {
        OX::ProgressView view;
        view.setSegmentCount(3);
        view.resize(c.width, 33);
        view.setValue(c.value);
        EXPECT_EQ(view.litSegments(), c.lit) << c.width << " " << c.value;
    }

    OX::ProgressView view;
    OX::Skin::apply(&view); // a window of ours, skinned as the main window is
    view.setSegmentCount(3);
    view.resize(370, 50);
    view.setValue(66);
    EXPECT_EQ(view.text(), QStringLiteral("66%"));
    // Segments of 120 px, 5 apart: the second is lit, the third is not.
    EXPECT_EQ(pixelAt(&view, { 240, 2 }), OX::Skin::color(QStringLiteral("activeWidgetColor")));
    EXPECT_EQ(pixelAt(&view, { 260, 2 }), OX::Skin::color(QStringLiteral("activeWidgetDisabledColor")));
    testutil::saveScreenshot(&view, QStringLiteral("progress-view-66-of-370"));
}

TEST(ProgressView, AnEmptyRangeIsEmptyUntilTheValueReachesIt)
{
    OX::ProgressView view;
    view.setSegmentCount(3);
    view.resize(100, 33);
    EXPECT_EQ(view.text(), QString()); // no value yet: no number, not "-1%"
    view.setRange(5, 5);
    EXPECT_EQ(view.fraction(), 0.0);
    EXPECT_EQ(view.litSegments(), 0);
    EXPECT_EQ(view.text(), QString());
    view.grab();
    view.setValue(5);
    EXPECT_EQ(view.fraction(), 1.0);
    EXPECT_EQ(view.litSegments(), 3);
    EXPECT_EQ(view.text(), QStringLiteral("5%"));
    view.setSegmentCount(0);
    view.setAlignment(Qt::AlignRight);
    view.grab();
}

// True when any pixel of what widget paints is red.
bool paintsRed(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 60)
                return true;
    return false;
}

TEST(ProgressWheel, StoppedItPaintsOnlyWhenAskedTo)
{
    OX::ProgressWheel wheel;
    wheel.resize(wheel.sizeHint());
    wheel.setColor(Qt::red);
    EXPECT_FALSE(paintsRed(wheel));
    wheel.startAnimation();
    EXPECT_TRUE(wheel.isAnimated());
    EXPECT_TRUE(paintsRed(wheel));
    wheel.stopAnimation();
    EXPECT_FALSE(paintsRed(wheel));
    wheel.setDisplayedWhenStopped(true);
    EXPECT_TRUE(paintsRed(wheel));
}

class ProgressWidgetTest : public ::testing::Test
{
protected:
    QWidget m_window;
    OX::ProgressWidget* m_veil = new OX::ProgressWidget(&m_window);
};

TEST_F(ProgressWidgetTest, FiniteShowsThePercentageAndItsArc)
{
    m_window.resize(400, 300);
    Progress::Context context;
    context.title = QStringLiteral("Writing");
    context.flags = Progress::Finite;
    context.value = 0.426;
    m_veil->start(&context);
    EXPECT_EQ(m_veil->size(), QSize(400, 300));
    m_window.show();
    m_window.resize(500, 320);
    EXPECT_EQ(m_veil->size(), QSize(500, 320));
    EXPECT_TRUE(m_veil->isRunning());
    EXPECT_FALSE(m_veil->isSpinning());
    EXPECT_EQ(m_veil->percentText(), QStringLiteral("42%"));
    EXPECT_EQ(m_veil->finiteSpan(), -2419);
    for (const double odd : { -0.5, 7.0, std::nan("") }) {
        context.value = odd;
        EXPECT_EQ(m_veil->percentText(), odd > 1 ? QStringLiteral("100%") : QStringLiteral("0%"));
    }
    m_veil->grab();
}

TEST_F(ProgressWidgetTest, AnInfiniteContextStartedTwiceKeepsItsSpinner)
{
    Progress::Context context;
    context.flags = Progress::Infinite;
    m_veil->start(&context);
    ASSERT_TRUE(m_veil->isSpinning());
    m_veil->onFireTimer();
    m_veil->start(&context);
    EXPECT_TRUE(m_veil->isSpinning());
    EXPECT_EQ(m_veil->angle(), 7.0);
    for (int i = 0; i < 51; ++i)
        m_veil->onFireTimer();
    EXPECT_DOUBLE_EQ(m_veil->angle(), 4.0); // 364 brought back into (0, 360]
}

TEST_F(ProgressWidgetTest, AnInfiniteReportAfterAFiniteOneTurnsTheSpinner)
{
    Progress::Context writing, connecting;
    writing.flags = Progress::Finite;
    connecting.flags = Progress::Infinite;
    m_veil->start(&writing);
    ASSERT_FALSE(m_veil->isSpinning());
    m_veil->start(&connecting); // no end in between: the veil stays up
    EXPECT_TRUE(m_veil->isRunning());
    EXPECT_TRUE(m_veil->isSpinning());
}

TEST_F(ProgressWidgetTest, TheContextIsNotReadAfterItsEnd)
{
    for (const bool byNone : { true, false }) {
        auto context = std::make_unique<Progress::Context>();
        context->flags = Progress::Infinite;
        m_veil->start(context.get());
        if (byNone) {
            context->flags = Progress::None;
            m_veil->start(context.get());
        } else {
            m_veil->start(nullptr);
        }
        EXPECT_FALSE(m_veil->isRunning());
        EXPECT_FALSE(m_veil->isSpinning());
        context.reset(); // its owner is done with it
        m_veil->grab(); // paints without it (a sanitizer build reports any read)
        m_veil->onFireTimer();
        EXPECT_EQ(m_veil->percentText(), QStringLiteral("0%"));
    }
}

} // namespace
