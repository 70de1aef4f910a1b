// The help page with the real web engine: it opens the manual at the section of the page the
// user came from, prepares each document once, and shows English where a language has no manual.
#include "ui/pages/HelpPage.h"

#include "app/FakeDirectorUi.h"
#include "common/FakePageContainer.h"
#include "common/gui_util.h"
#include "common/qt_wait.h"
#include "support/HttpTestServer.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <unistd.h>

namespace
{

using testutil::waitUntil;

// The value of a script in the shown document.
QVariant evaluate(OX::HelpPage* help, const QString& script)
{
    QVariant result;
    bool done = false;
    help->web()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    waitUntil([&] { return done; }, 10000);
    return result;
}

QString hashOf(OX::HelpPage* help)
{
    return evaluate(help, QStringLiteral("window.location.hash")).toString();
}

struct HelpFixture : ::testing::Test {
    void SetUp() override
    {
        if (!testutil::hasDisplay())
            GTEST_SKIP() << "the web engine needs a display";
        fake.controller.setSlideDurationOverride(0);
        for (const char* name : { "Appearance", "LinkOutdoor", "Firmware", "Devices" })
            fake.controller.addPage(new testutil::RecordingPage(&fake, QLatin1String(name), &fake.controller),
                QLatin1String(name));
        // The controller owns no page: they go with it as its children.
        help = new OX::HelpPage(&fake, &fake.controller);
        fake.controller.addPage(help, QStringLiteral("Help"));
        fake.controller.setInitialPage(QStringLiteral("Appearance"));
        fake.controller.show();
    }
    void TearDown() override
    {
        if (director.director)
            director.director->loadLanguage(QStringLiteral("en"));
    }

    // Opens Help from page as the header's help button does, and waits until it is shown.
    void openFrom(const QString& page)
    {
        if (fake.controller.currentPage() != fake.controller.page(page)) {
            ASSERT_TRUE(fake.controller.showPage(page, 0, 0, false));
            ASSERT_TRUE(waitUntil([&] { return !fake.controller.isSwitching(); }));
        }
        ASSERT_TRUE(fake.controller.showPage(QStringLiteral("Help"), 4, 0, true));
        ASSERT_TRUE(waitUntil([&] { return help->appeared && !fake.controller.isSwitching(); }));
        ASSERT_TRUE(waitUntil([&] { return help->view()->isVisible(); }, 20000));
    }
    void useLanguage(const QString& code)
    {
        fake.director = director.create();
        director.director->loadLanguage(code);
    }

    testutil::LogCapture log;
    directortest::Harness director;
    testutil::FakePageContainer fake;
    OX::HelpPage* help = nullptr;
};

TEST_F(HelpFixture, OpensAtTheSectionOfThePageItCameFrom)
{
    // The web engine starts with the first opening, not with the page.
    EXPECT_EQ(help->view(), nullptr);
    EXPECT_EQ(help->web(), nullptr);
    ASSERT_TRUE(fake.controller.showPage(QStringLiteral("Help"), 4, 0, true));
    EXPECT_FALSE(help->view()->isVisible()) << "blank until the document is ready";
    ASSERT_TRUE(waitUntil([&] { return help->view()->isVisible(); }, 20000));
    EXPECT_EQ(hashOf(help), QStringLiteral("#appearance_anchor"));
    const QStringList lines = log.lines();
    const int ready = lines.indexOf(QStringLiteral("debug: Help document ready"));
    const int jump = lines.indexOf(QStringLiteral("debug: Help jumps to page #appearance_anchor"));
    EXPECT_GE(ready, 0);
    EXPECT_GT(jump, ready);
    EXPECT_EQ(log.count(QStringLiteral("Help jumps to page #")), 1);
    EXPECT_FALSE(
        fake.navigationEnabled(OX::NavigationOptions::header_left | OX::NavigationOptions::header_right));
    // The section is at the top of the view at the size it is shown at.
    EXPECT_TRUE(waitUntil([&] {
        return evaluate(help,
            QStringLiteral("Math.abs(document.getElementById('appearance_anchor')"
                           ".getBoundingClientRect().top) < 2"))
            .toBool();
    }));
    testutil::spin(200); // the engine paints the scrolled document
    testutil::saveScreenshot(QGuiApplication::primaryScreen()->grabWindow(fake.controller.winId()).toImage(),
        QStringLiteral("help-page"));

    fake.clickLeft(); // Back
    ASSERT_TRUE(waitUntil([&] { return !help->appeared && !fake.controller.isSwitching(); }));
    EXPECT_TRUE(fake.navigationEnabled(OX::NavigationOptions::header));

    for (const auto& c :
        { std::pair<const char*, const char*> { "LinkOutdoor", "#link_settings_general_anchor" },
            { "Firmware", "#Firmware" } }) {
        openFrom(QLatin1String(c.first));
        EXPECT_EQ(hashOf(help), QLatin1String(c.second)) << c.first;
        fake.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return !help->appeared && !fake.controller.isSwitching(); }));
    }
    EXPECT_EQ(log.count(QStringLiteral("** Reload help")), 1) << "later openings reload nothing";
}

TEST_F(HelpFixture, FrenchManualIsPreparedOnceAndItsImagesLoad)
{
    useLanguage(QStringLiteral("fr"));
    openFrom(QStringLiteral("Appearance"));
    EXPECT_EQ(help->loadedLanguage(), QStringLiteral("fr"));
    EXPECT_EQ(help->web()->url().adjusted(QUrl::RemoveFragment), QUrl(QStringLiteral("qrc:/help/index_fr")));
    for (const char* from : { "Devices", "LinkOutdoor", "Appearance" }) {
        fake.clickLeft();
        ASSERT_TRUE(waitUntil([&] { return !help->appeared && !fake.controller.isSwitching(); }));
        openFrom(QLatin1String(from));
    }
    const QString check
        = QStringLiteral("Array.prototype.every.call(document.images, function (i) {"
                         " var s = i.getAttribute('src'); return s.indexOf('resources/html/images/fr/') === 0"
                         " && s.lastIndexOf('resources/') === 0; })");
    EXPECT_TRUE(evaluate(help, check).toBool());
    EXPECT_TRUE(waitUntil([&] {
        return evaluate(help,
            QStringLiteral("Array.prototype.every.call(document.images, "
                           "function (i) { return i.complete && i.naturalWidth > 0; })"))
            .toBool();
    }));
    EXPECT_EQ(evaluate(help, QStringLiteral("getComputedStyle(document.body).backgroundColor")).toString(),
        QStringLiteral("rgb(50, 50, 50)"))
        << "the style sheets load";
    EXPECT_EQ(log.count(QStringLiteral("QResource")), 0) << "nothing missing is asked for";
}

TEST_F(HelpFixture, ALanguageWithoutAManualShowsEnglishOnce)
{
    useLanguage(QStringLiteral("hu"));
    openFrom(QStringLiteral("Devices"));
    EXPECT_EQ(help->loadedLanguage(), QStringLiteral("en"));
    EXPECT_EQ(
        evaluate(help, QStringLiteral("document.documentElement.lang")).toString(), QStringLiteral("en"));
    EXPECT_TRUE(evaluate(help, QStringLiteral("document.images[0].getAttribute('src')"))
                    .toString()
                    .startsWith(QStringLiteral("resources/html/images/en/")));
    fake.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return !help->appeared && !fake.controller.isSwitching(); }));
    openFrom(QStringLiteral("Devices"));
    EXPECT_EQ(log.count(QStringLiteral("** Reload help")), 1);
}

// Text enlarged with Ctrl and the wheel stays enlarged in the other language's manual.
TEST_F(HelpFixture, TheTextSizeChosenStaysAcrossALanguageChange)
{
    openFrom(QStringLiteral("Devices"));
    QWidget* surface = help->view()->focusProxy();
    ASSERT_NE(surface, nullptr);
    const QPoint at(100, 100);
    QWheelEvent wheel(at, surface->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(surface, &wheel);
    const QString ratio = QStringLiteral("window.devicePixelRatio");
    ASSERT_TRUE(waitUntil([&] { return evaluate(help, ratio).toDouble() > 1.05; }));
    const double enlarged = evaluate(help, ratio).toDouble();
    // A link of the contents moves within the same document.
    evaluate(help, QStringLiteral("document.querySelector('a[href=\"#status_anchor\"]').click()"));
    ASSERT_TRUE(waitUntil([&] { return hashOf(help) == QLatin1String("#status_anchor"); }));
    testutil::spin(200);
    EXPECT_DOUBLE_EQ(evaluate(help, ratio).toDouble(), enlarged);
    fake.clickLeft();
    ASSERT_TRUE(waitUntil([&] { return !help->appeared && !fake.controller.isSwitching(); }));
    useLanguage(QStringLiteral("fr"));
    openFrom(QStringLiteral("Devices"));
    EXPECT_EQ(help->loadedLanguage(), QStringLiteral("fr"));
    EXPECT_DOUBLE_EQ(evaluate(help, ratio).toDouble(), enlarged);
    EXPECT_TRUE(waitUntil([&] {
        return evaluate(help,
            QStringLiteral(
                "Math.abs(document.getElementById('devices_anchor').getBoundingClientRect().top) < 2"))
            .toBool();
    })) << "still at the section";
    testutil::spin(200); // the engine paints the scrolled document
    testutil::saveScreenshot(QGuiApplication::primaryScreen()->grabWindow(fake.controller.winId()).toImage(),
        QStringLiteral("help-page-enlarged-fr"));
}

TEST_F(HelpFixture, TheManualNeverLeavesTheResources)
{
    openFrom(QStringLiteral("Appearance"));
    evaluate(
        help, QStringLiteral("console.log('two\\nlines'); window.location.href = 'http://127.0.0.1:9/';"));
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("two lines")); }));
    testutil::spin(200); // a navigation would have started by now
    EXPECT_EQ(help->web()->url().scheme(), QStringLiteral("qrc"));
    // Nor does anything it shows or runs fetch from a machine.
    testsupport::HttpTestServer server;
    server.route("/x", testsupport::HttpTestServer::Response::bytes("x", "text/plain"));
    evaluate(help,
        QStringLiteral("new Image().src = '%1'; fetch('%1').then(function () { console.log('fetch done'); },"
                       " function () { console.log('fetch done'); });")
            .arg(server.url("/x").toString()));
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("fetch done")); }));
    testutil::spin(200);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(HelpFixture, APageClosedWhileItsScriptsRunTouchesNothing)
{
    ASSERT_TRUE(fake.controller.showPage(QStringLiteral("Help"), 4, 0, true));
    ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("Help loading finished")); }, 20000));
    fake.controller.showPage(QStringLiteral("Appearance"), 0, 0, false);
    waitUntil([&] { return !fake.controller.isSwitching(); });
    fake.controller.removePage(help, true);
    testutil::spin(100);
}

} // namespace

// Run as root with the engine's sandbox on, the engine would end the whole application on its
// first page: Help says why it shows no manual instead, and the way back stays.
TEST(HelpAsRoot, SaysTheManualCannotBeShownAndTheApplicationGoesOn)
{
    const QByteArray sandbox = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    EXPECT_FALSE(OX::webEngineRefusesToRun(false));
    EXPECT_TRUE(OX::webEngineRefusesToRun(true));
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu  --no-sandbox");
    EXPECT_FALSE(OX::webEngineRefusesToRun(true));
    qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "0");
    EXPECT_TRUE(OX::webEngineRefusesToRun(true));
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    if (::geteuid() == 0) {
        testutil::FakePageContainer fake;
        fake.controller.setSlideDurationOverride(0);
        fake.controller.addPage(new testutil::RecordingPage(&fake, "Menu", &fake.controller), "Menu");
        auto* help = new OX::HelpPage(&fake, &fake.controller);
        fake.controller.addPage(help, QStringLiteral("Help"));
        fake.controller.setInitialPage(QStringLiteral("Menu"));
        fake.controller.show();
        ASSERT_TRUE(fake.controller.showPage(QStringLiteral("Help"), 4, 0, true));
        ASSERT_TRUE(waitUntil([&] { return help->appeared && !fake.controller.isSwitching(); }));
        EXPECT_EQ(help->unavailable(), OX::HelpPage::Unavailable::RunAsRoot);
        auto* label = help->findChild<QLabel*>(QStringLiteral("missingLabel"));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->isVisible() && label->text().contains(QStringLiteral("root")));
        EXPECT_EQ(help->view(), nullptr) << "the engine never started";
        EXPECT_FALSE(fake.navigationEnabled(OX::NavigationOptions::header_right)) << "no Help over Help";
        fake.clickLeft();
        EXPECT_TRUE(waitUntil([&] { return fake.controller.currentPageName() == QLatin1String("Menu"); }));
        EXPECT_TRUE(fake.navigationEnabled(OX::NavigationOptions::all)) << "Help gives the header back";
    }
    if (!sandbox.isNull())
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", sandbox);
    if (!flags.isNull())
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

// The manual compiled out (a broken build): Help says so instead of the engine's error page,
// which speaks of servers and extensions, and Back still leads to the page it came from.
int qInitResources_help();
int qCleanupResources_help();

TEST_F(HelpFixture, WithoutAnyManualSaysSoAndKeepsTheWayBack)
{
    qCleanupResources_help();
    const bool opened = fake.controller.showPage(QStringLiteral("Help"), 4, 0, true)
        && waitUntil([&] { return help->appeared && !fake.controller.isSwitching(); });
    qInitResources_help();
    ASSERT_TRUE(opened);
    EXPECT_EQ(help->unavailable(), OX::HelpPage::Unavailable::ManualMissing);
    auto* label = help->findChild<QLabel*>(QStringLiteral("missingLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(
        label->isVisible() && label->text().contains(QStringLiteral("missing from this installation")));
    EXPECT_FALSE(help->view() && help->view()->isVisible());
    fake.clickLeft();
    EXPECT_TRUE(waitUntil([&] { return fake.controller.currentPageName() == QLatin1String("Appearance"); }));
}
