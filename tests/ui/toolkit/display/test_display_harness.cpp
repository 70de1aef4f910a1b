// The display-bound tests really run on the X server the test command starts, with the skin.
#include "common/gui_util.h"
#include "ui/toolkit/Skin.h"

#include <QGuiApplication>
#include <QScreen>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>

TEST(DisplayHarness, RunsOnTheXServerAtFullHdWithTheSkin)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1920, 1080));
    QWidget w;
    w.resize(40, 30);
    w.setAutoFillBackground(true);
    QPalette palette = w.palette();
    palette.setColor(QPalette::Window, OX::Skin::color(QStringLiteral("pageBackgroundColor")));
    w.setPalette(palette);
    w.show();
    EXPECT_EQ(testutil::pixelAt(&w, {20, 15}), OX::Skin::color(QStringLiteral("pageBackgroundColor")));
    EXPECT_TRUE(QFile::exists(testutil::saveScreenshot(&w, QStringLiteral("display-harness"))));
}
