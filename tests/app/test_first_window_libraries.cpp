// Loading the first window's libraries ahead: only where that window would load Mesa's driver
// through GLX, and only a driver that is there.
#include "app/FirstWindowLibraries.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(FirstWindowLibraries, OnlyMesaGlxOnXIsLoadedAhead)
{
    EXPECT_TRUE(FirstWindowLibraries::usesMesaGlx("xcb", nullptr, nullptr, nullptr));
    EXPECT_TRUE(FirstWindowLibraries::usesMesaGlx("xcb", "xcb_glx", "mesa", ""));
    EXPECT_FALSE(FirstWindowLibraries::usesMesaGlx("offscreen", nullptr, nullptr, nullptr));
    EXPECT_FALSE(FirstWindowLibraries::usesMesaGlx("wayland", nullptr, nullptr, nullptr));
    EXPECT_FALSE(FirstWindowLibraries::usesMesaGlx("xcb", "xcb_egl", nullptr, nullptr));
    EXPECT_FALSE(FirstWindowLibraries::usesMesaGlx("xcb", "none", nullptr, nullptr));
    EXPECT_FALSE(FirstWindowLibraries::usesMesaGlx("xcb", nullptr, "nvidia", nullptr));
    EXPECT_FALSE(FirstWindowLibraries::usesMesaGlx("xcb", nullptr, nullptr, "/opt/mesa/dri"));
}

TEST(FirstWindowLibraries, TheDriverIsNamedOnlyWhereItIsAndNoOtherGlLiesBesideIt)
{
    QTemporaryDir lib;
    ASSERT_TRUE(lib.isValid());
    const std::string dir = lib.path().toStdString();
    EXPECT_EQ(FirstWindowLibraries::mesaDriver(""), "");
    EXPECT_EQ(FirstWindowLibraries::mesaDriver(dir), "") << "no driver folder";

    ASSERT_TRUE(QDir(lib.path()).mkdir(QStringLiteral("dri")));
    QFile driver(lib.filePath(QStringLiteral("dri/swrast_dri.so")));
    ASSERT_TRUE(driver.open(QIODevice::WriteOnly));
    driver.close();
    EXPECT_EQ(FirstWindowLibraries::mesaDriver(dir), dir + "/dri/swrast_dri.so");

    QFile nvidia(lib.filePath(QStringLiteral("libGLX_nvidia.so.0")));
    ASSERT_TRUE(nvidia.open(QIODevice::WriteOnly));
    nvidia.close();
    EXPECT_EQ(FirstWindowLibraries::mesaDriver(dir), "");
}
