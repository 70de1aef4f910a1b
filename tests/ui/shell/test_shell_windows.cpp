// The main window, the sidebar and the crosshair overlay, alone and driven by a director; the
// translations and the icon compiled into the resources.
#include "common/gui_util.h"
#include "common/private_runtime.h"
#include "common/qt_wait.h"
#include "common/time_scale.h"
#include "support/HttpTestServer.h"
#include "usb/FakeUsbBackend.h"

#include "app/ApiManager.h"
#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "ui/link/LinkPage.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/pages/StatusPage.h"
#include "ui/shell/CrossWindow.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/NativeWindow.h"
#include "ui/shell/ShellDirectorUi.h"
#include "ui/shell/SidebarDialog.h"
#include "ui/toolkit/ExpandableListViewItem.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/PageFooter.h"
#include "ui/toolkit/PageHeader.h"
#include "ui/toolkit/ProgressDialog.h"
#include "ui/toolkit/ProgressWheel.h"
#include "ui/toolkit/ProgressWidget.h"
#include "ui/toolkit/Skin.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMovie>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <gtest/gtest.h>

using testutil::spin;
using testutil::waitUntil;

namespace
{

// A director with the application's windows over a scripted USB bus and a settings file.
struct ShellHarness {
    QTemporaryDir dir;
    QCommandLineParser parser;
    int quits = 0;
    QStringList messages;
    ShellDirectorUi* ui = nullptr;
    std::unique_ptr<OrvixDirector> director;

    explicit ShellHarness(bool tray = false)
    {
        API::setServiceBaseUrl(QUrl(QStringLiteral("http://127.0.0.1:1")));
        parser.parse(QStringList { QStringLiteral("orvixtools") });
        DirectorEnvironment env;
        env.listPorts = []() { return QList<SerialPortEntry>(); };
        env.serverName = dir.filePath(QStringLiteral("instance"));
        env.usbBackend = std::make_unique<fakeusb::Backend>(std::make_shared<fakeusb::State>());
        env.usbIntervalMs = 10;
        env.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        env.trayIcon = tray;
        env.presentMessage = [this](int, const QString& title, const QString&) { messages << title; };
        env.quit = [this]() { ++quits; };
        auto shell = std::make_unique<ShellDirectorUi>();
        ui = shell.get();
        director = std::make_unique<OrvixDirector>(parser, std::move(shell), std::move(env));
    }
    ~ShellHarness()
    {
        director.reset();
        API::setServiceBaseUrl(QUrl());
    }
};

// Clicks the button of the next modal message box whose text is text.
void answerNextBox(const QString& text)
{
    QTimer::singleShot(20, [text]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* button : box->buttons())
            if (button->text() == text)
                button->click();
    });
}

} // namespace

TEST(CrossWindow, CountsDownInTicksAndCallsItsCompletionOnce)
{
    CrossWindow cross(nullptr, nullptr);
    cross.setTickInterval(15);
    int done = 0;
    int applied = 0;
    QObject::connect(&cross, &CrossWindow::applySignal, [&]() { ++applied; });

    // 2500 ms: three ticks (2500, 1500, then 500 is the last).
    cross.runCrossView(false, 2500, [&]() { ++done; });
    EXPECT_TRUE(cross.isRunning());
    EXPECT_FALSE(cross.isVisible()) << "no overlay without visual feedback";
    ASSERT_TRUE(waitUntil([&] { return done == 1; }, 2000));
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(cross.duration(), -500);
    EXPECT_FALSE(cross.isRunning());
    spin(60);
    EXPECT_EQ(done, 1);

    // No time at all still waits for one tick.
    cross.runCrossView(false, 0, [&]() { ++done; });
    EXPECT_EQ(done, 1);
    ASSERT_TRUE(waitUntil([&] { return done == 2; }, 1000));
}

TEST(CrossWindow, VisualCountdownShowsTheOverlayUntilItsEnd)
{
    CrossWindow cross(nullptr, nullptr);
    int done = 0;
    cross.runCrossView(true, 300, [&]() { ++done; });
    EXPECT_TRUE(cross.isVisible());
    EXPECT_EQ(cross.windowTitle(), QStringLiteral("OrvixTools"));
    ASSERT_TRUE(waitUntil([&] { return done == 1; }, 2000));
    EXPECT_FALSE(cross.isVisible());
    EXPECT_FALSE(cross.isRunning());
    // The display is asked about a compositing manager once, not for every countdown.
    const int asked = NativeWindow::compositorQueries();
    cross.runCrossView(true, 50, [&]() { ++done; });
    ASSERT_TRUE(waitUntil([&] { return done == 2; }, 2000));
    EXPECT_EQ(NativeWindow::compositorQueries(), asked);
}

TEST(CrossWindow, AbortStopsWithoutTheCompletion)
{
    CrossWindow cross(nullptr, nullptr);
    cross.setTickInterval(10);
    int done = 0;
    cross.runCrossView(true, 5000, [&]() { ++done; });
    spin(25);
    cross.abortCrossView();
    EXPECT_FALSE(cross.isRunning());
    EXPECT_FALSE(cross.isVisible());
    spin(100);
    EXPECT_EQ(done, 0);

    // A new countdown replaces a running one; only the new completion runs.
    int first = 0;
    int second = 0;
    cross.runCrossView(false, 3000, [&]() { ++first; });
    cross.runCrossView(false, 1000, [&]() { ++second; });
    ASSERT_TRUE(waitUntil([&] { return second == 1; }, 1000));
    spin(60);
    EXPECT_EQ(first, 0);
}

TEST(MainWindowSize, HalfTheScreenHeightWithinTheMinimum)
{
    const double aspect = 810.0 / 700.0;
    EXPECT_EQ(MainWindow::fittedSize(1400, aspect), QSize(810, 700));
    EXPECT_EQ(MainWindow::fittedSize(2160, 1.5), QSize(1620, 1080));
    EXPECT_EQ(MainWindow::fittedSize(800, aspect), QSize(810, 700));
    EXPECT_EQ(MainWindow::fittedSize(1000, 2.0), QSize(1000, 700));
    EXPECT_EQ(MainWindow::fittedSize(1000, 0.0), QSize(810, 700));
}

namespace
{
// A page whose command, sent on an earlier visit, still runs when it comes back.
class BusyOnArrival : public OX::Page
{
public:
    using OX::Page::Page;
    void retranslate() override { }
    void pageWillAppear(QString const&) override { container->setProgress(true); }
};
} // namespace

TEST(MainWindowNavigation, APageArrivingBusyKeepsTheWayOutClosedUntilItIsDone)
{
    MainWindow window;
    auto* busy = new BusyOnArrival(&window, &window);
    OX::PageController* pages = window.controller();
    ASSERT_TRUE(pages->addPage(busy, QStringLiteral("Busy")));
    pages->setInitialPage(QStringLiteral("Menu"));
    ASSERT_TRUE(pages->showPage(QStringLiteral("Busy"), OX::Page::FromRight, 50, true));
    ASSERT_TRUE(waitUntil([&] { return !pages->isSwitching(); }));
    EXPECT_FALSE(window.header()->isEnabled()) << "no way home or to Help while the wheel turns";
    EXPECT_FALSE(window.footer()->isEnabled());
    busy->container->setProgress(false);
    EXPECT_TRUE(window.header()->isEnabled());
    EXPECT_TRUE(window.footer()->isEnabled());
}

TEST(ShellDirectorBox, OpensFromTheEventLoopSkinnedAndClosesWithWhatItIsAbout)
{
    ShellDirectorUi ui;
    int answered = -2;
    auto answer = [&answered](int index) { answered = index; };
    ui.ask({ DirectorUi::Box::Question, "Software update", "Now?", { "Update", "Not now" }, {} }, answer);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "never inside the caller";
    answerNextBox(QStringLiteral("Not now"));
    ASSERT_TRUE(waitUntil([&] { return answered == 1; }));

    auto* dongle = new QObject;
    answered = -2;
    ui.ask({ DirectorUi::Box::Question, "Headset communication failure", "Try again?", { "Yes", "No" },
               { dongle } },
        answer);
    ASSERT_TRUE(waitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->styleSheet(), OX::Skin::instance()->styleSheet()) << "the skin, not a parent's look";
    delete dongle; // the dongle pulled
    EXPECT_TRUE(waitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    spin(50);
    EXPECT_EQ(answered, -2) << "no answer about a dongle that went";
}

TEST(ShellDirector, StartShowsTheAttachedWindowsAndTheActionsWork)
{
    ShellHarness h;
    MainWindow* window = h.ui->mainWindow();
    EXPECT_FALSE(window->isVisible());
    h.director->start();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->director(), h.director.get());
    EXPECT_EQ(h.ui->sidebar()->director(), h.director.get());
    EXPECT_GE(window->width(), MainWindow::MinimumWidth);
    EXPECT_GE(window->height(), MainWindow::MinimumHeight);
    // No dongle: the menu shows, System Status dimmed.
    EXPECT_EQ(window->controller()->currentPageName(), QStringLiteral("Menu"));
    EXPECT_FALSE(window->menu()->item(OX::MenuItem::SystemStatusItem)->isEnabled());
    EXPECT_FALSE(h.ui->sidebar()->findChild<QAbstractButton*>(QStringLiteral("mouseButton"))->isEnabled())
        << "no headset yet";
    EXPECT_NE(h.ui->soundPlayer(), nullptr);

    // The hide action goes through the director's window rules.
    window->perform(OX::PageAction::hide, nullptr);
    EXPECT_FALSE(window->isVisible());
    h.director->showMainWindow(true);
    EXPECT_TRUE(window->isVisible());

    // The sidebar: its hide signal hides it, its status icon toggles the main window.
    h.ui->showSidebar();
    EXPECT_TRUE(h.ui->sidebar()->isVisible());
    h.ui->hideSidebar();
    EXPECT_FALSE(h.ui->sidebar()->isVisible());
    int toggles = 0;
    QObject::connect(h.ui, &DirectorUi::statusIconAction, [&]() { ++toggles; });
    emit h.ui->sidebar()->statusIconAction();
    EXPECT_EQ(toggles, 1);

    // Quit without a dongle ends the run at once.
    h.director->onQuitApplication();
    EXPECT_EQ(h.quits, 1);

    h.director->stop();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->director(), nullptr);
    EXPECT_EQ(h.ui->soundPlayer(), nullptr);
}

// Every window hidden (the application in the tray), a box closed from outside: the application
// goes on.
TEST(ShellDirector, ABoxClosedWhileEveryWindowIsHiddenDoesNotEndTheApplication)
{
    ShellHarness h;
    h.director->start();
    MainWindow* window = h.ui->mainWindow();
    window->perform(OX::PageAction::hide, nullptr);
    h.ui->hideSidebar();
    ASSERT_FALSE(window->isVisible());
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Dongle"), QStringLiteral("Dongle removed"),
        QMessageBox::Ok, window);
    box.show();
    QTimer::singleShot(0, &box, [&box]() { box.close(); });
    QTimer::singleShot(testutil::scaled(500), qApp, []() { qApp->exit(7); });
    EXPECT_EQ(qApp->exec(), 7) << "closing the box ended the application";
    h.director->stop();
}

TEST(ShellDirector, AMainWindowLeftOffEveryScreenComesBackWhenShown)
{
    ShellHarness h;
    h.director->start();
    MainWindow* window = h.ui->mainWindow();
    const QPoint placed = window->pos();
    for (const QPoint& left : { QPoint(5000, 5000), placed + QPoint(30, 20) }) {
        window->perform(OX::PageAction::hide, nullptr);
        window->move(left); // on a screen unplugged since, or where the person dragged it
        emit h.ui->sidebar()->statusIconAction();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->pos(), left.x() == 5000 ? placed : left);
    }
    window->move(5000, 5000); // shown on a screen that is unplugged
    emit qGuiApp->screenRemoved(QGuiApplication::primaryScreen());
    EXPECT_TRUE(waitUntil([&] { return window->pos() == placed; }));
    window->move(5000, 5000); // shown on a part of the screen that its new resolution cuts off
    QScreen* screen = QGuiApplication::primaryScreen();
    emit screen->availableGeometryChanged(screen->availableGeometry());
    EXPECT_TRUE(waitUntil([&] { return window->pos() == placed; }));
}

SidebarDialog* builtSidebar()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* bar = qobject_cast<SidebarDialog*>(window))
            return bar;
    return nullptr;
}

TEST(ShellDirector, TheMainWindowShowsBeforeTheOtherWindowsAndPagesAreBuiltWhenFirstOpened)
{
    ShellHarness h;
    h.director->start();
    MainWindow* window = h.ui->mainWindow();
    EXPECT_EQ(builtSidebar(), nullptr);
    EXPECT_EQ(h.director->usbManager(), nullptr);
    QList<int> order;
    h.ui->afterFirstSight([&] { order << 1; });
    h.ui->afterFirstSight([&] { order << 2; });
    EXPECT_TRUE(order.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return builtSidebar(); }, 3000))
        << "built once the main window has been drawn";
    EXPECT_NE(h.director->usbManager(), nullptr) << "the bus is watched from then on";
    EXPECT_EQ(order, QList<int>({ 1, 2 }));
    h.ui->afterFirstSight([&] { order << 3; });
    EXPECT_EQ(order, QList<int>({ 1, 2, 3 })) << "at once after the first drawing";
    EXPECT_EQ(window->findChild<OX::StatusPage*>(), nullptr) << "never opened";
    EXPECT_EQ(window->controller()->find(QStringLiteral("Status")), nullptr);
    EXPECT_EQ(builtSidebar()->director(), h.director.get());
    // The overlay and the progress window wait for their first use; asking about them builds nothing.
    EXPECT_FALSE(h.ui->isCrossViewRunning());
    h.ui->abortCrossView();
    h.ui->hideProgressDialog();
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<CrossWindow*>(window) || qobject_cast<OX::ProgressDialog*>(window));
    h.ui->setProgressInfo(QStringLiteral("Downloading"));
    ASSERT_NE(h.ui->progressDialog(), nullptr);
    EXPECT_EQ(h.ui->progressDialog()->parentWidget(), window) << "a dialog of the main window";
    EXPECT_TRUE(h.ui->progressDialog()->isWindow());

    // A page opened before the window was ever drawn is built on the spot.
    MainWindow fresh;
    fresh.controller()->setInitialPage(QStringLiteral("Menu"));
    EXPECT_TRUE(fresh.controller()->showPage(QStringLiteral("Status"), 0, 0, false));
    EXPECT_NE(fresh.findChild<OX::StatusPage*>(), nullptr);
}

TEST(ShellDirector, TheMainWindowIsStyledAndLaidOutBeforeItsNativeWindowIsMade)
{
    // At the start the native window waits for the GL driver, loaded beside until then: what
    // needs no native window is done before it.
    struct EventOrder : QObject {
        QStringList seen;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Polish)
                seen << QStringLiteral("polished");
            else if (event->type() == QEvent::WinIdChange)
                seen << QStringLiteral("native window");
            return false;
        }
    } order;
    ShellHarness h;
    h.ui->mainWindow()->installEventFilter(&order);
    h.director->start();
    EXPECT_EQ(order.seen.join(QStringLiteral(", ")).toStdString(), "polished, native window");
}

TEST(ShellDirectorThreads, StartingThePoolThreadsDoesNotWaitForAPoolThatCannotRunThem)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    ShellDirectorUi::startThreads();
    EXPECT_EQ(pool->maxThreadCount(), ShellDirectorUi::PoolThreads);
    // Every thread the pool may run is taken elsewhere: the start goes on without them.
    for (int i = 0; i < ShellDirectorUi::PoolThreads; ++i)
        pool->reserveThread();
    QElapsedTimer clock;
    clock.start();
    ShellDirectorUi::startThreads();
    EXPECT_LT(clock.elapsed(), testutil::scaled(5000));
    for (int i = 0; i < ShellDirectorUi::PoolThreads; ++i)
        pool->releaseThread();
    EXPECT_TRUE(pool->waitForDone(testutil::scaled(5000))) << "the tasks left waiting end too";
}

// Animations of the window's pages that are running now (movies shown by labels included).
QStringList runningAnimations(QWidget* window)
{
    QStringList running;
    for (auto* label : window->findChildren<QLabel*>())
        if (label->movie() && label->movie()->state() == QMovie::Running)
            running << label->objectName();
    for (auto* animation : window->findChildren<QAbstractAnimation*>())
        if (animation->state() == QAbstractAnimation::Running)
            running << animation->parent()->objectName();
    return running;
}

TEST(ShellDirector, NoPageAnimatesWhileItIsNotOnScreen)
{
    ShellHarness h;
    h.director->start();
    MainWindow* window = h.ui->mainWindow();
    OX::PageController* pages = window->controller();
    for (const char* name : { "Profiles", "Status", "Appearance", "Calibration", "Link", "LinkIndoor",
             "LinkOutdoor", "Pairing", "Security", "Devices", "Firmware" })
        ASSERT_NE(pages->page(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(runningAnimations(window), QStringList()) << "the menu shown, every other page hidden";

    pages->setSlideDurationOverride(0);
    ASSERT_TRUE(pages->showPage(QStringLiteral("Calibration"), 0, 0, false));
    ASSERT_TRUE(waitUntil([&] { return !runningAnimations(window).isEmpty(); }));
    window->hide();
    EXPECT_EQ(runningAnimations(window), QStringList()) << "the window hidden";
    window->show();
    EXPECT_FALSE(runningAnimations(window).isEmpty());
    ASSERT_TRUE(pages->showPage(QStringLiteral("Menu"), 0, 0, false));
    ASSERT_TRUE(waitUntil([&] { return pages->currentPageName() == QStringLiteral("Menu"); }));
    EXPECT_EQ(runningAnimations(window), QStringList()) << "back on the menu";
    h.director->stop();
}

TEST(ShellDirector, DirectorSignalsReachTheWindows)
{
    ShellHarness h;
    h.director->start();
    h.ui->sidebar(); // built now rather than once the main window is drawn
    emit h.director->headsetStatusChangedSignal(nullptr, true);
    EXPECT_EQ(h.ui->sidebar()->state().getStatusColor(), SidebarDialog::State::Active);
    emit h.director->dongleUpdatedSignal(nullptr, DongleChangeMask::lost);
    EXPECT_FALSE(h.ui->sidebar()->findChild<QAbstractButton*>(QStringLiteral("mouseButton"))->isEnabled());
    // The busy indicator shows while an operation runs; a context cleared at the operation's
    // end hides it like a null one.
    OX::ProgressWidget* veil = h.ui->mainWindow()->progressWidget();
    h.director->showInfinityProgress(QStringLiteral("Dongle\nconnected"));
    EXPECT_TRUE(veil->isVisible());
    h.director->hideIninityProgress();
    EXPECT_FALSE(veil->isVisible());
    Progress::Context operation;
    operation.start(QStringLiteral("Dongle Init"), Progress::Finite);
    operation.setProgress(1.0);
    emit h.director->updateProgress(&operation);
    EXPECT_TRUE(veil->isVisible());
    EXPECT_EQ(veil->percentText(), QStringLiteral("100%"));
    operation.clear();
    emit h.director->updateProgress(&operation);
    EXPECT_FALSE(veil->isVisible());
    // A dongle's own record goes with the dongle: the veil lets go of it before.
    {
        Progress::Context record;
        record.start(QStringLiteral("Query Devices"), Progress::Infinite);
        emit h.director->updateProgress(&record);
        ASSERT_TRUE(veil->isRunning());
        emit h.director->dongleDisconnectedSignal(nullptr, DongleResult(DongleResult::Ok));
        EXPECT_FALSE(veil->isRunning());
        EXPECT_FALSE(veil->isVisible());
        // The same record shown again runs the veil anew instead of being taken as still shown.
        emit h.director->updateProgress(&record);
        EXPECT_TRUE(veil->isRunning());
        record.clear();
        emit h.director->updateProgress(&record);
        EXPECT_FALSE(veil->isVisible());
    }
    // A dongle's own progress and the busy footer end with that dongle, before it is deleted.
    {
        QCommandLineParser options;
        auto* dongle = new Dongle(nullptr, nullptr, options);
        dongle->startProgress(QStringLiteral("Query Devices"), Progress::Infinite);
        emit h.director->updateProgress(&dongle->progress());
        h.ui->mainWindow()->setProgress(true);
        EXPECT_TRUE(veil->isVisible());
        emit h.director->dongleDisconnectedSignal(dongle, DongleResult(DongleResult::DongleRemoved));
        delete dongle;
        EXPECT_FALSE(veil->isVisible());
        EXPECT_FALSE(veil->isRunning());
        EXPECT_FALSE(h.ui->mainWindow()->footer()->progressWheel()->isAnimated());
    }
    h.director->stop();
    // Detached: signals no longer reach the main window.
    operation.start(QStringLiteral("Dongle Init"), Progress::Infinite);
    emit h.director->updateProgress(&operation);
    EXPECT_FALSE(veil->isVisible());
}

TEST(ShellDirector, TrayIconWithItsMenu)
{
    ShellHarness h(true);
    h.director->start();
    // Made once the main window has been drawn.
    ASSERT_TRUE(testutil::waitUntil([&] { return h.director->trayIcon() != nullptr; }));
    h.ui->mainWindow()->hide();
    QSystemTrayIcon* tray = h.director->trayIcon();
    EXPECT_EQ(tray->toolTip(), QStringLiteral("OrvixTools"));
    EXPECT_EQ(tray->parent(), h.ui->mainWindow());
    ASSERT_NE(tray->contextMenu(), nullptr);
    const QList<QAction*> actions = tray->contextMenu()->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions.at(0)->text(), QStringLiteral("Show ..."));
    EXPECT_EQ(actions.at(1)->text(), QStringLiteral("Quit"));
    const QLocale before;
    h.director->loadLanguage(QStringLiteral("hu"));
    EXPECT_EQ(actions.at(0)->text(), QStringLiteral("Megjelenítés ..."));
    h.director->loadLanguage(QStringLiteral("en"));
    EXPECT_EQ(actions.at(0)->text(), QStringLiteral("Show ..."));
    QLocale::setDefault(before);
    actions.at(0)->trigger();
    EXPECT_TRUE(h.ui->mainWindow()->isVisible());
    actions.at(1)->trigger();
    EXPECT_EQ(h.quits, 1);
}

TEST(ShellStyle, TheSheetColoursOurWindowsOnlyAndOtherTextStaysReadable)
{
    // The interface tests' main styles the whole application for pages shown on their own;
    // the application itself styles only its windows.
    const QString testSheet = qApp->styleSheet();
    qApp->setStyleSheet(QString());
    auto restore = qScopeGuard([&] { qApp->setStyleSheet(testSheet); });
    ShellDirectorUi::loadStyle();
    ShellHarness h;
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    const QColor skinText(0xFF, 0xFF, 0xFF);
    auto textColour = [](QWidget* window, QLabel* label) {
        window->ensurePolished();
        label->ensurePolished();
        return label->palette().color(QPalette::WindowText);
    };

    // A label of ours, and the label of a box over our main window: the skin's white on its
    // dark page.
    auto* ours = new QLabel(QStringLiteral("ours"), h.ui->mainWindow());
    EXPECT_EQ(textColour(h.ui->mainWindow(), ours), skinText);
    QMessageBox overMain(QMessageBox::Warning, QStringLiteral("T"), QStringLiteral("text"), QMessageBox::Ok,
        h.ui->mainWindow());
    QLabel* boxText = overMain.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(boxText, nullptr);
    EXPECT_EQ(textColour(&overMain, boxText), skinText);

    // The tray's balloon (black on pale yellow, a window of no parent) and a box of no parent
    // keep the system's colours.
    QWidget balloon(nullptr, Qt::ToolTip);
    QPalette pale = balloon.palette();
    pale.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
    pale.setColor(QPalette::WindowText, Qt::black);
    balloon.setPalette(pale);
    auto* notice = new QLabel(QStringLiteral("Started"), &balloon);
    EXPECT_EQ(textColour(&balloon, notice), QColor(Qt::black));
    QMessageBox alone(QMessageBox::Warning, QStringLiteral("T"), QStringLiteral("text"));
    QLabel* aloneText = alone.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(aloneText, nullptr);
    EXPECT_EQ(textColour(&alone, aloneText), QApplication::palette().color(QPalette::WindowText));
}

TEST(ShellResources, LogoAndTranslationsAreCompiledIn)
{
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/logo")));
    EXPECT_FALSE(QIcon(QStringLiteral(":/icons/logo")).isNull());
    for (const char* code : { "en", "fr", "hu" })
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/languages/") + QLatin1String(code))) << code;
}

TEST(ShellResources, LanguagesSwitchTheTexts)
{
    ShellHarness h;
    h.director->start();
    const OX::PageHeader::State& header = h.ui->mainWindow()->header()->state();
    const QLocale before;
    h.director->loadLanguage(QStringLiteral("fr"));
    spin(10);
    EXPECT_EQ(QCoreApplication::translate("OrvixDirector", "Quit"), QStringLiteral("Quitter"));
    EXPECT_EQ(QCoreApplication::translate("QObject", "Operation timed out"),
        QStringLiteral("Délai d’attente dépassé"));
    EXPECT_EQ(header.subtitle, QStringLiteral("Principal")); // the menu's texts, re-applied
    EXPECT_EQ(h.ui->mainWindow()->getFooterState().right.text, QStringLiteral("Quitter"));
    h.director->loadLanguage(QStringLiteral("hu"));
    EXPECT_EQ(QCoreApplication::translate("OrvixDirector", "Quit"), QStringLiteral("Kilépés"));
    EXPECT_EQ(QLocale().language(), QLocale::Hungarian);
    h.director->loadLanguage(QStringLiteral("en"));
    spin(10);
    EXPECT_EQ(QCoreApplication::translate("OrvixDirector", "Quit"), QStringLiteral("Quit"));
    EXPECT_EQ(header.subtitle, QStringLiteral("Main"));
    // A language without a resource leaves no translator behind.
    h.director->loadLanguage(QStringLiteral("fr"));
    h.director->loadLanguage(QStringLiteral("de"));
    EXPECT_EQ(QCoreApplication::translate("OrvixDirector", "Quit"), QStringLiteral("Quit"));
    QLocale::setDefault(before);
}

// The download's window, shown while the language changes: its title, its text and its button
// follow.
TEST(ShellResources, TheDownloadWindowFollowsTheLanguageWhileShown)
{
    QTemporaryDir folder;
    testutil::PrivateRuntime runtime(folder.path());
    testsupport::HttpTestServer server;
    server.route("/api/v1/software/ox/" + OrvixDirector::APP_DOWNLOAD_PLATFORM.toLatin1() + "/2.6/download",
        testsupport::HttpTestServer::Response::bytes(QByteArray(512 * 1024, 'x')).slow(4096, 20));
    ShellHarness h;
    API::setServiceBaseUrl(server.baseUrl());
    h.director->start();
    h.director->installSoftwareUpdate(DongleVersion(2, 6, 3, 700), QStringLiteral("a.deb"));
    auto* dialog = h.ui->mainWindow()->findChild<OX::ProgressDialog*>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    auto* cancel = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
    const QLocale before;
    h.director->loadLanguage(QStringLiteral("fr"));
    EXPECT_TRUE(waitUntil([&] { return dialog->windowTitle() == QStringLiteral("Dialogue"); }))
        << dialog->windowTitle().toStdString();
    EXPECT_EQ(cancel->text(), QStringLiteral("Annuler"));
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("label"))->text(),
        QStringLiteral("Téléchargement de la mise à jour v 2.6.3 (700). L’installation démarrera "
                       "automatiquement, veuillez patienter."));
    EXPECT_TRUE(waitUntil([&] { return cancel->width() >= cancel->sizeHint().width(); })); // laid out again
    testutil::saveScreenshot(dialog, "download-window-after-language-change");
    h.director->loadLanguage(QStringLiteral("en"));
    EXPECT_TRUE(waitUntil([&] { return dialog->windowTitle() == QStringLiteral("Dialog"); }));
    EXPECT_TRUE(dialog->info().startsWith(QStringLiteral("Downloading software update v 2.6.3 (700).")));
    QLocale::setDefault(before);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return !dialog->isVisible(); }));
}

namespace
{

// Every title of the LINK settings lists is shown whole (perhaps on two lines), in every tab:
// forward and backward must be told apart without hovering.
void expectLinkTitlesWhole(MainWindow* window, const char* language)
{
    OX::PageController* pages = window->controller();
    ASSERT_TRUE(pages->showPage(QStringLiteral("LinkIndoor"), 0, 0, false));
    ASSERT_TRUE(waitUntil([&] { return !pages->isSwitching(); }));
    auto* link = static_cast<OX::LinkPage*>(pages->currentPage());
    for (const char* tab : { "drive", "turn" }) {
        link->setCurrentTabByName(QLatin1String(tab));
        spin(5);
        const auto items = link->findChildren<OX::ExpandableListViewItem*>();
        int shown = 0;
        for (OX::ExpandableListViewItem* item : items) {
            if (!item->isVisible())
                continue;
            ++shown;
            EXPECT_EQ(item->shownTitle().replace(QLatin1Char('\n'), QLatin1Char(' ')), item->title())
                << tab << " " << item->index() << " in " << language;
        }
        EXPECT_GT(shown, 5) << tab;
    }
    ASSERT_TRUE(pages->showPage(QStringLiteral("Menu"), 0, 0, false));
    ASSERT_TRUE(waitUntil([&] { return !pages->isSwitching(); }));
}

} // namespace

TEST(ShellLayout, EveryPageFitsTheWindowAtItsDefaultSizeInEveryLanguage)
{
    ShellHarness h;
    h.director->start();
    MainWindow* window = h.ui->mainWindow();
    // Each page is built as it is asked for.
    const QStringList pages { "Menu", "Help", "Profiles", "Status", "Appearance", "Calibration", "Link",
        "LinkIndoor", "LinkOutdoor", "Pairing", "Security", "Devices", "Firmware" };
    const QLocale before;
    // The available heights of a 1920 by 1080 and a 1366 by 768 screen under a task bar.
    for (int available : { 1055, 743 }) {
        window->setFixedSize(MainWindow::fittedSize(available, 524.0 / 444.0));
        for (const char* language : { "en", "fr", "hu" }) {
            h.director->loadLanguage(QLatin1String(language));
            spin(5);
            window->centralWidget()->layout()->activate();
            const QSize area = window->controller()->size();
            for (const QString& name : pages) {
                OX::Page* page = window->controller()->page(name);
                ASSERT_NE(page, nullptr) << name.toStdString();
                const QSize needed = page->minimumSizeHint().expandedTo(page->minimumSize());
                EXPECT_LE(needed.height(), area.height()) << name.toStdString() << " in " << language;
                EXPECT_LE(needed.width(), area.width()) << name.toStdString() << " in " << language;
            }
            expectLinkTitlesWhole(window, language);
        }
    }
    h.director->loadLanguage(QStringLiteral("en"));
    QLocale::setDefault(before);
}
