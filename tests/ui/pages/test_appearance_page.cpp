// The appearance page against a real settings store in a temporary folder: what it shows, what
// it writes, and that a visit alone changes nothing.
#include "ui/pages/AppearancePage.h"

#include "app/Settings.h"
#include "common/FakePageContainer.h"
#include "common/gui_util.h"
#include "common/qt_wait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

namespace
{

struct AppearanceFixture : ::testing::Test {
    AppearanceFixture()
    {
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")), nullptr);
        settings->setLanguageLoader([this](const QString& code) { loaded << code; });
        fake.settings = settings.get();
        page = new OX::AppearancePage(&fake);
        page->resize(800, 600);
    }
    ~AppearanceFixture() override { delete page; }

    template <typename T> T* child(const char* name) { return page->findChild<T*>(QLatin1String(name)); }
    void visit() { page->pageWillAppear(QStringLiteral("Menu")); }

    QTemporaryDir dir;
    std::unique_ptr<Settings> settings;
    QStringList loaded;
    testutil::FakePageContainer fake;
    OX::AppearancePage* page = nullptr;
};

TEST_F(AppearanceFixture, SlidersShowHundredthsAndStoreFractions)
{
    settings->setSidebarOpacity(0.25f);
    visit();
    auto* opacity = child<QSlider>("sliderSidebarOpacity");
    auto* size = child<QSlider>("sliderSidebarSize");
    EXPECT_EQ(opacity->value(), 25);
    EXPECT_EQ(size->value(), 25); // the default scale
    opacity->setValue(40);
    EXPECT_FLOAT_EQ(settings->sidebarOpacity(), 0.4f);
    EXPECT_EQ(fake.header.title, QStringLiteral("Appearance"));
    EXPECT_EQ(fake.footer.right.text, QStringLiteral("Reset"));
    EXPECT_EQ(fake.footer.right.action, OX::PageAction::reset);
    EXPECT_EQ(fake.footer.left.action, OX::PageAction::back);
}

TEST_F(AppearanceFixture, AStoredFractionSurvivesVisits)
{
    settings->setSidebarScale(0.29f);
    settings->setSidebarOpacity(0.57f);
    for (int i = 0; i < 2; ++i) {
        visit();
        page->pageWillAppear(QStringLiteral("Help"));
    }
    EXPECT_EQ(child<QSlider>("sliderSidebarSize")->value(), 29);
    EXPECT_FLOAT_EQ(settings->sidebarScale(), 0.29f);
    EXPECT_FLOAT_EQ(settings->sidebarOpacity(), 0.57f);
    // A fraction between hundredths shows rounded and is stored as it was.
    settings->setSidebarScale(0.2125f);
    settings->setSidebarOpacity(0.6375f);
    visit();
    EXPECT_EQ(child<QSlider>("sliderSidebarOpacity")->value(), 64);
    EXPECT_FLOAT_EQ(settings->sidebarScale(), 0.2125f);
    EXPECT_FLOAT_EQ(settings->sidebarOpacity(), 0.6375f);
}

TEST_F(AppearanceFixture, ResetShowsTheDefaults)
{
    settings->setSidebarVisible(false);
    settings->setSidebarHorizontal(true);
    settings->setSidebarOpacity(0.3f);
    settings->setSidebarStickedToPromaryScreen(true);
    visit();
    EXPECT_FALSE(child<QCheckBox>("cbShowSidebar")->isChecked());

    fake.controller.addPage(page, QStringLiteral("Appearance"));
    fake.controller.setInitialPage(QStringLiteral("Appearance"));
    fake.clickRight(0);
    EXPECT_TRUE(child<QCheckBox>("cbShowSidebar")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("cbHorizontalSidebar")->isChecked());
    EXPECT_EQ(child<QSlider>("sliderSidebarOpacity")->value(), 100);
    EXPECT_EQ(child<QSlider>("sliderSidebarSize")->value(), 25);
    EXPECT_FALSE(child<QCheckBox>("cbStickToPrimaryScreen")->isChecked());
    EXPECT_TRUE(settings->sidebarVisible());
    EXPECT_FALSE(settings->sidebarStickedToPromaryScreen());
    fake.controller.removePage(page, false);
}

TEST_F(AppearanceFixture, SettingsChangedUnderThePageShowAndAreNotWrittenBack)
{
    // The route of the application: the store's change reaches the page on screen.
    QObject::connect(settings.get(), &Settings::settingsChangedSignal, &fake.controller,
        [this]() { fake.controller.settingsChanged(settings.get()); });
    fake.controller.addPage(page, QStringLiteral("Appearance"));
    fake.controller.setInitialPage(QStringLiteral("Appearance"));
    settings->setSidebarOpacity(0.3f);
    settings->setSidebarHorizontal(true);
    visit();
    auto* opacity = child<QSlider>("sliderSidebarOpacity");
    ASSERT_EQ(opacity->value(), 30);

    // Changed elsewhere while the page is open.
    QSignalSpy changes(settings.get(), &Settings::settingsChangedSignal);
    settings->setSidebarOpacity(0.8f);
    settings->setSidebarHorizontal(false);
    EXPECT_EQ(opacity->value(), 80);
    EXPECT_FALSE(child<QCheckBox>("cbHorizontalSidebar")->isChecked());
    EXPECT_EQ(changes.count(), 2) << "showing the settings writes none back";

    // A person's step moves from the opacity in use.
    opacity->setFocus();
    QTest::keyClick(opacity, Qt::Key_Left);
    EXPECT_FLOAT_EQ(settings->sidebarOpacity(), 0.79f);
    EXPECT_FALSE(settings->sidebarHorizontal());
    fake.controller.removePage(page, false);
}

TEST_F(AppearanceFixture, LanguageListShowsTheStoredLanguageAndStoresAChoice)
{
    settings->store()->setValue(QStringLiteral("language"), QStringLiteral("hu"));
    visit();
    auto* combo = child<QComboBox>("languageOptions");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 2) << "the language in use shows";
    EXPECT_EQ(combo->itemText(0), QStringLiteral("English"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("French"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Hungarian"));
    for (int i = 0; i < combo->count(); ++i)
        EXPECT_FALSE(combo->itemIcon(i).isNull()) << i;
    settings->store()->setValue(QStringLiteral("language"), QStringLiteral("de"));
    visit();
    EXPECT_EQ(combo->currentIndex(), -1) << "a language without a translation selects nothing";

    loaded.clear();
    combo->setCurrentIndex(0);
    QTest::keyClick(combo, Qt::Key_Down); // a person picks French with the keyboard
    EXPECT_EQ(settings->language(), QStringLiteral("fr"));
    EXPECT_EQ(loaded, QStringList { QStringLiteral("fr") });
}

TEST_F(AppearanceFixture, WithoutSettingsNothingIsWritten)
{
    fake.settings = nullptr;
    visit();
    child<QSlider>("sliderSidebarSize")->setValue(70);
    child<QCheckBox>("cbHorizontalSidebar")->setChecked(true);
    page->resetToDefaults();
    EXPECT_FLOAT_EQ(settings->sidebarScale(), 0.25f);
    EXPECT_FALSE(settings->sidebarHorizontal());
}

TEST_F(AppearanceFixture, ScreenshotForAPerson)
{
    settings->setLanguage(QStringLiteral("en"));
    visit();
    EXPECT_FALSE(child<QWidget>("feedbackTitle")->isVisibleTo(page));
    EXPECT_FALSE(child<QWidget>("cbShowVisualFeedback")->isVisibleTo(page));
    page->setStyleSheet(QStringLiteral("OX--AppearancePage { background: #323232; }"));
    testutil::saveScreenshot(page, QStringLiteral("appearance-page"));
    // The sliders show their ticks under the style sheet: one line below the handle, in the skin's
    // light grey, for every step of the tick interval.
    auto* size = child<QSlider>("sliderSidebarSize");
    const QImage shot = size->grab().toImage();
    int ticks = 0;
    for (int x = 0; x < shot.width(); ++x) {
        int rows = 0;
        for (int y = shot.height() / 2; y < shot.height(); ++y)
            rows += shot.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0) ? 1 : 0;
        ticks += rows >= 3 ? 1 : 0;
    }
    EXPECT_EQ(ticks, (size->maximum() - size->minimum()) / size->tickInterval() + 1);

    QTranslator french;
    ASSERT_TRUE(french.load(QStringLiteral(":/languages/fr")));
    QCoreApplication::installTranslator(&french);
    EXPECT_TRUE(testutil::waitUntil([&] {
        return child<QLabel>("sidebarTitle")->text() == QStringLiteral("Options de la barre d’outils");
    }));
    testutil::saveScreenshot(page, QStringLiteral("appearance-page-fr"));
    QCoreApplication::removeTranslator(&french);
}

} // namespace
