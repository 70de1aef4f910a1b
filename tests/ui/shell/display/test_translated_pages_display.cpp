// The pages whose layout depends on the language, in the application over the emulated dongle,
// headset and a LINK at address 3: French and Hungarian on a 1366 x 768 screen, English on a
// 1920 x 1080 one, saved for a person to look at; then unplugged, the pages that say so.
#include "EmulatedShell.h"
#include "app/DirectorEmulation.h"
#include "common/gui_util.h"
#include "common/private_runtime.h"
#include "common/qt_wait.h"

#include "app/Settings.h"
#include "ui/link/LinkPage.h"
#include "ui/link/LinkSelectionPage.h"
#include "ui/pages/DevicesPage.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/ScreenGeometry.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/WrappingCheckBox.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace directortest;
using testutil::waitUntil;

namespace
{

struct Run : ScreenGeometry {
    Run(const char* code, QSize size)
        : language(code)
        , area(QPoint(0, 0), size - QSize(0, 25)) // under a task bar
    {
    }
    QRect primaryAvailable() const override { return area; }
    const char* language;
    QRect area;
};
void PrintTo(Run const& run, std::ostream* out)
{
    *out << run.language << " at " << run.area.width();
}

struct TranslatedPages : ::testing::TestWithParam<Run> {
    void TearDown() override
    {
        app.h.director.reset();
        ScreenGeometry::install(nullptr);
    }
    bool open(QString const& name)
    {
        if (pages()->currentPageName() != name && !pages()->showPage(name, 0, 0, false))
            return false;
        return waitUntil([&] { return pages()->currentPageName() == name && !pages()->isSwitching(); }, 5000);
    }
    OX::PageController* pages() const { return app.pages(); }
    void shot(QString const& name)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        testutil::pump();
        testutil::saveScreenshot(app.window(),
            QStringLiteral("translated-%1-%2-%3")
                .arg(GetParam().language)
                .arg(GetParam().area.width())
                .arg(name));
    }

    EmulatedShell app;
};

TEST_P(TranslatedPages, ShownForAPerson)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    testutil::PrivateRuntime runtime(dir.path());
    ScreenGeometry::install(&GetParam());
    app.emulator.addHeadset();
    emu::LinkModel indoor;
    indoor.address = 3;
    app.emulator.addLink(indoor);
    ASSERT_TRUE(app.startShell());
    OrvixDirector* d = app.d;
    d->loadLanguage(QLatin1String(GetParam().language));
    // Every LINK setting reachable, so that every title is listed enabled.
    app.window()->getSettings()->setLinkProfileWizardState(QStringLiteral("turn_outer_deadzone"));
    ASSERT_TRUE(waitUntil([&] { return d->headset() && d->headset()->isRunning(); }, 5000));

    auto* selection = static_cast<OX::LinkSelectionPage*>(pages()->page(QStringLiteral("Link")));
    for (char const* name : { "Firmware", "Security", "Profiles", "Pairing", "Devices", "Link" }) {
        ASSERT_TRUE(open(QLatin1String(name))) << name;
        shot(QString::fromLatin1(name).toLower());
    }
    ASSERT_TRUE(waitUntil([&] { return selection->linkListWidget()->count() == 1; }, 5000));
    shot("link-listed");
    auto* autorange
        = pages()->page(QStringLiteral("Profiles"))->findChild<OX::WrappingCheckBox*>("hmAutoRange");
    ASSERT_TRUE(autorange);
    EXPECT_EQ(autorange->shownText().replace(QLatin1Char('\n'), QLatin1Char(' ')), autorange->text())
        << "whole";

    ASSERT_TRUE(open(QLatin1String(OX::LinkSelectionPage::IndoorPageName)));
    auto* link = static_cast<OX::LinkPage*>(pages()->currentPage());
    ASSERT_TRUE(waitUntil([&] { return link->state() == OX::LinkPage::initialized_state; }, 5000));
    for (char const* key : { "general", "drive_settings", "forward_movement", "backward_movement",
             "right_movement", "left_movement", "turn_outer_deadzone" }) {
        link->setActive(QLatin1String(key));
        shot(QStringLiteral("link-") + QLatin1String(key));
    }

    app.emulator.unplug();
    app.h.bus->setBus({});
    ASSERT_TRUE(waitUntil([&] { return !d->dongle(); }, 5000));
    for (char const* name : { "Devices", "Link" }) {
        ASSERT_TRUE(open(QLatin1String(name))) << name;
        shot(QString::fromLatin1(name).toLower() + QStringLiteral("-unplugged"));
    }
    auto* devices = static_cast<OX::DevicesPage*>(pages()->page(QStringLiteral("Devices")));
    EXPECT_FALSE(devices->missingDeviceText().isEmpty());
    EXPECT_FALSE(selection->missingDeviceText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Screens, TranslatedPages,
    ::testing::Values(Run("fr", QSize(1366, 768)), Run("hu", QSize(1366, 768)), Run("en", QSize(1920, 1080))),
    [](::testing::TestParamInfo<Run> const& info) { return std::string(info.param.language); });

} // namespace
