// The pages whose layout depends on the language, as a person sees them in the application over
// the emulated dongle, headset and a LINK at address 3: French and Hungarian on a 1366 x 768
// screen, English on a 1920 x 1080 one. Every page is saved for a person to look at, then the
// dongle is unplugged and the pages that say what is missing are saved again.
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

struct Screen : ScreenGeometry {
    explicit Screen(QSize size)
        : area(QPoint(0, 0), size - QSize(0, 25)) // under a task bar
    {
    }
    QRect primaryAvailable() const override { return area; }
    QRect area;
};

struct Run {
    const char* language;
    QSize screen;
};
void PrintTo(Run const& run, std::ostream* out)
{
    *out << run.language << " at " << run.screen.width() << "x" << run.screen.height();
}

class TranslatedPages : public ::testing::TestWithParam<Run>
{
protected:
    bool bringUp()
    {
        ScreenGeometry::install(&screen);
        app.emulator.addHeadset();
        emu::LinkModel link;
        link.address = 3;
        app.emulator.addLink(link);
        if (!app.start())
            return false;
        app.h.bus->setBus(QtUsb::FilterList { Harness::dongleIds() });
        auto ui = std::make_unique<ShellDirectorUi>();
        shell = ui.get();
        app.h.director = std::make_unique<OrvixDirector>(app.h.parser, std::move(ui), app.h.environment(5));
        pages()->setSlideDurationOverride(10);
        app.h.director->start();
        app.h.director->loadLanguage(QLatin1String(GetParam().language));
        // Every step of the LINK settings reachable, so that every title is listed enabled.
        shell->mainWindow()->getSettings()->setLinkProfileWizardState(QStringLiteral("turn_outer_deadzone"));
        OrvixDirector* d = app.h.director.get();
        return waitUntil([&] { return d->headset() && d->headset()->isRunning(); }, 5000);
    }
    void TearDown() override
    {
        app.h.director.reset();
        ScreenGeometry::install(nullptr);
    }
    OX::PageController* pages() const { return shell->mainWindow()->controller(); }
    bool open(QString const& name)
    {
        if (pages()->currentPageName() != name && !pages()->showPage(name, 0, 0, false))
            return false;
        return waitUntil([&] { return pages()->currentPageName() == name && !pages()->isSwitching(); }, 5000);
    }
    void shot(QString const& name)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        testutil::pump();
        testutil::saveScreenshot(shell->mainWindow(),
            QStringLiteral("translated-%1-%2-%3")
                .arg(QLatin1String(GetParam().language))
                .arg(GetParam().screen.width())
                .arg(name));
    }

    Screen screen { GetParam().screen };
    EmulatedDongle app;
    ShellDirectorUi* shell = nullptr;
};

TEST_P(TranslatedPages, ShownForAPerson)
{
    if (!testutil::hasDisplay())
        GTEST_SKIP() << "no display";
    QTemporaryDir dir;
    testutil::PrivateRuntime runtime(dir.path());
    ASSERT_TRUE(bringUp());

    for (char const* name : { "Security", "Profiles", "Pairing", "Devices" }) {
        ASSERT_TRUE(open(QLatin1String(name))) << name;
        shot(QString::fromLatin1(name).toLower());
    }
    auto* autorange
        = pages()->page(QStringLiteral("Profiles"))->findChild<OX::WrappingCheckBox*>("hmAutoRange");
    ASSERT_TRUE(autorange);
    EXPECT_EQ(autorange->shownText().replace(QLatin1Char('\n'), QLatin1Char(' ')), autorange->text())
        << "whole";
    ASSERT_TRUE(open(QStringLiteral("Link")));
    auto* selection = static_cast<OX::LinkSelectionPage*>(pages()->page(QStringLiteral("Link")));
    ASSERT_TRUE(waitUntil([&] { return selection->linkListWidget()->count() == 1; }, 5000));
    shot("link-selection");

    ASSERT_TRUE(open(QLatin1String(OX::LinkSelectionPage::IndoorPageName)));
    auto* link = static_cast<OX::LinkPage*>(pages()->currentPage());
    ASSERT_TRUE(waitUntil([&] { return link->state() == OX::LinkPage::initialized_state; }, 5000));
    for (char const* key : { "general", "drive_settings", "forward_movement", "backward_movement",
             "right_movement", "left_movement", "turn_outer_deadzone" }) {
        link->setActive(QLatin1String(key));
        shot(QStringLiteral("link-") + QLatin1String(key));
    }

    // Unplugged: the pages say what is missing.
    app.emulator.unplug();
    app.h.bus->setBus({});
    ASSERT_TRUE(waitUntil([&] { return !app.h.director->dongle(); }, 5000));
    ASSERT_TRUE(open(QStringLiteral("Devices")));
    auto* devices = static_cast<OX::DevicesPage*>(pages()->currentPage());
    EXPECT_FALSE(devices->missingDeviceText().isEmpty());
    shot("devices-unplugged");
    ASSERT_TRUE(open(QStringLiteral("Link")));
    EXPECT_FALSE(selection->missingDeviceText().isEmpty());
    shot("link-selection-unplugged");
}

INSTANTIATE_TEST_SUITE_P(Screens, TranslatedPages,
    ::testing::Values(
        Run { "fr", QSize(1366, 768) }, Run { "hu", QSize(1366, 768) }, Run { "en", QSize(1920, 1080) }),
    [](::testing::TestParamInfo<Run> const& info) { return std::string(info.param.language); });

} // namespace
