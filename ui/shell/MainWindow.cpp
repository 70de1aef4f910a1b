#include "ui/shell/MainWindow.h"

#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "ui/firmware/FirmwarePage.h"
#include "ui/link/LinkPage.h"
#include "ui/link/LinkSelectionPage.h"
#include "ui/pages/AppearancePage.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/pages/DevicesPage.h"
#include "ui/pages/HelpPage.h"
#include "ui/pages/PairingPage.h"
#include "ui/pages/ProfilesPage.h"
#include "ui/pages/SecurityPage.h"
#include "ui/pages/ServiceMode.h"
#include "ui/pages/StatusPage.h"
#include "ui/shell/ScreenGeometry.h"
#include "ui/shell/SidebarDialog.h"
#include "ui/toolkit/Menu.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/PageFooter.h"
#include "ui/toolkit/PageHeader.h"
#include "ui/toolkit/ProgressWidget.h"
#include "ui/toolkit/Skin.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace
{

constexpr Qt::WindowFlags WindowFlags
    = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint;
constexpr int MenuSlide = OX::Page::FromRight;
constexpr int HomeSlide = OX::Page::FromLeft;
constexpr int HomeFromHelpSlide = OX::Page::FromBottom;
constexpr int HelpSlide = OX::Page::FromTop;
const char* const MenuPage = "Menu";
const char* const HelpPage = "Help";
const char* const PairingPage = "Pairing";

// The page each menu entry opens; the others open nothing.
QString pageOf(OX::MenuItem::Identifier id)
{
    switch (id) {
    case OX::MenuItem::SystemStatusItem:
        return QStringLiteral("Status");
    case OX::MenuItem::AppearanceItem:
        return QStringLiteral("Appearance");
    case OX::MenuItem::MouseProfilesItem:
        return QStringLiteral("Profiles");
    case OX::MenuItem::CalibrationItem:
        return QStringLiteral("Calibration");
    case OX::MenuItem::FirmwareUpdateItem:
        return QStringLiteral("Firmware");
    case OX::MenuItem::LinkItem:
        return QStringLiteral("Link");
    case OX::MenuItem::PairingItem:
        return QStringLiteral("Pairing");
    case OX::MenuItem::SecurityItem:
        return QStringLiteral("Security");
    case OX::MenuItem::DevicesItem:
        return QStringLiteral("Devices");
    default:
        return QString();
    }
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_header(new OX::PageHeader(this))
    , m_controller(new OX::PageController(this))
    , m_footer(new OX::PageFooter(this))
    , m_progress(new OX::ProgressWidget(this))
    , m_ui(std::make_unique<Ui::MainWindow>())
{
    setWindowFlags(WindowFlags);
    m_ui->setupUi(this);
    m_ui->verticalLayout_2->setContentsMargins(0, 0, 0, 0);
    m_ui->verticalLayout_2->addWidget(m_header);
    m_ui->verticalLayout_2->addWidget(m_controller);
    m_ui->verticalLayout_2->addWidget(m_footer);

    m_menu = new OX::Menu(this, this);
    connect(m_menu, &OX::Menu::action, this, &MainWindow::onMenuItemAction);
    connect(this, &MainWindow::firstShown, m_menu, &OX::Menu::readSubmenuIcons);
    m_controller->addPage(m_menu, MenuPage);
    m_controller->addPage(new OX::HelpPage(this, this), HelpPage);
    // Every other page is made when it is first opened.
    auto later = [this](const char* name, auto make) {
        m_controller->addPage(QLatin1String(name), [this, make]() -> OX::Page* { return make(this); });
    };
    later("Profiles", [](MainWindow* w) { return new OX::ProfilesPage(w, w); });
    later("Status", [](MainWindow* w) { return new OX::StatusPage(w, w); });
    later("Appearance", [](MainWindow* w) { return new OX::AppearancePage(w, w); });
    later("Calibration", [](MainWindow* w) { return new OX::CalibrationPage(w, w); });
    later("Link", [](MainWindow* w) { return new OX::LinkSelectionPage(w, w); });
    later("LinkIndoor", [](MainWindow* w) { return new OX::LinkPage(w, OrvixDevice::LinkDrive, w); });
    later("LinkOutdoor", [](MainWindow* w) { return new OX::LinkPage(w, OrvixDevice::LinkOutdoorDrive, w); });
    later(PairingPage, [](MainWindow* w) { return new OX::PairingPage(w, w); });
    later("Security", [](MainWindow* w) { return new OX::SecurityPage(w, w); });
    later("Devices", [](MainWindow* w) { return new OX::DevicesPage(w, w); });
    later("Firmware", [](MainWindow* w) { return new OX::FirmwarePage(w, w); });
    connect(m_controller, &OX::PageController::pageWillAppearSignal, this, &MainWindow::onPageWillAppear);
    m_progress->hide();
    setWindowTitle(tr("OrvixTools"));
    // Shown on a screen that is unplugged or made smaller, the window comes to the primary screen
    // at once.
    ScreenGeometry::watchChanges(this, [this]() {
        QTimer::singleShot(0, this, [this]() {
            if (isVisible())
                comeBackOnScreen();
        });
    });
}

MainWindow::~MainWindow()
{
    detach();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown && !m_watchingExposure && windowHandle()) {
        m_watchingExposure = true;
        windowHandle()->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (m_watchingExposure && watched == windowHandle() && event->type() == QEvent::Expose
        && windowHandle()->isExposed()) {
        // The exposure is drawn when this returns; what the first sight does not need follows.
        m_watchingExposure = false;
        m_shown = true;
        windowHandle()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &MainWindow::firstShown, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

QSize MainWindow::fittedSize(int availableHeight, double aspect)
{
    if (!(aspect > 0.0) || !std::isfinite(aspect))
        aspect = double(MinimumWidth) / double(MinimumHeight);
    double height = 0.5 * availableHeight;
    double width = height * aspect;
    if (width < MinimumWidth) {
        width = MinimumWidth;
        height = MinimumWidth / aspect;
    }
    height = std::max(double(MinimumHeight), height);
    return QSize(int(width), int(height));
}

void MainWindow::attach(OrvixDirector* director)
{
    const QRect available = ScreenGeometry::current().primaryAvailable();
    const double aspect = height() > 0 ? double(width()) / double(height()) : 0.0;
    setFixedSize(fittedSize(available.height(), aspect));
    centreOnPrimaryScreen();

    detach();
    qRegisterMetaType<DongleChangeMask>("DongleChangeMask");
    m_director = director;
    if (director) {
        m_connections
            << connect(director, &OrvixDirector::dongleUpdatedSignal, this, &MainWindow::onDongleUpdated)
            << connect(director, &OrvixDirector::headsetUpdatedSignal, this, &MainWindow::onHeadsetUpdated)
            << connect(director, &OrvixDirector::deviceFoundSignal, this, &MainWindow::onDeviceFound)
            << connect(director, &OrvixDirector::headsetStatusChangedSignal, this,
                   &MainWindow::onHeadsetStatusChanged)
            << connect(director, &OrvixDirector::headsetChannelChangedSignal, this,
                   &MainWindow::onHeadsetChannelChanged)
            << connect(director, &OrvixDirector::settingsChangedSignal, this, &MainWindow::onSettingsChanged)
            << connect(director, &OrvixDirector::updateProgress, this, &MainWindow::onProgressUpdated)
            << connect(director, &OrvixDirector::dongleDisconnectedSignal, this,
                   [this](Dongle* dongle) { onDongleDisconnected(dongle); });
    }
    if (!m_controller->currentPage())
        m_controller->setInitialPage(MenuPage);
    // Styled and laid out before its native window is made: at the start that waits for the GL
    // driver, which loads beside until then.
    ensurePolished();
    if (layout())
        layout()->activate();
    show();
    m_progress->raise();
}

void MainWindow::comeBackOnScreen()
{
    // Left on a screen that has gone, or dragged off every screen by its header, it would show
    // where nobody sees it, and with it every page.
    const QPoint middle = geometry().center();
    if (!ScreenGeometry::current().availableAt(middle).contains(middle))
        centreOnPrimaryScreen();
}

void MainWindow::centreOnPrimaryScreen()
{
    const QRect available = ScreenGeometry::current().primaryAvailable();
    move(available.x() + int(std::lround((available.width() - width()) * 0.5)),
        available.y() + int(std::lround((available.height() - height()) * 0.5)));
}

void MainWindow::detach()
{
    for (QMetaObject::Connection const& c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
    m_director = nullptr;
}

OrvixDirector* MainWindow::director() const
{
    return m_director;
}

bool MainWindow::isTotallyVisible() const
{
    // Minimised, it is out of sight even where the window manager leaves it the active window.
    return isVisible() && !isMinimized() && isActiveWindow();
}

void MainWindow::show()
{
    // Minimised by the window manager, it comes back as it was; show() alone would leave it there.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    comeBackOnScreen();
    QMainWindow::show();
    activateWindow();
    raise();
    keepBoxesOnTop();
}

void MainWindow::keepBoxesOnTop()
{
    // A box that waits for an answer blocks this window: raised above the box, the window would
    // hide the one thing that still takes a click. The box the person answers next comes last.
    QWidget* answering = QApplication::activeModalWidget();
    if (!answering)
        return;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window != answering && window->isVisible() && window->isModal())
            window->raise();
    answering->raise();
    answering->activateWindow();
}

// ---- OX::PageContainer ----------------------------------------------------------------------

void MainWindow::setTitle(QString const& title)
{
    m_header->setTitle(title);
}

void MainWindow::setSubtitle(QString const& subtitle)
{
    m_header->setSubtitle(subtitle);
}

void MainWindow::setHeaderState(OX::PageHeader::State const& state)
{
    m_header->setTitle(state.title);
    m_header->setSubtitle(state.subtitle);
}

OX::PageHeader::State const& MainWindow::getHeaderState() const
{
    return m_header->state();
}

void MainWindow::setLeft(QString const& text, OX::PageAction action, OX::Page* page)
{
    m_footer->setLeft(text, action, page);
}

void MainWindow::setRight(
    QString const& text, OX::PageAction action, OX::Page* page, OX::PageFooter::ButtonIndex index)
{
    m_footer->setRight(text, action, page, index);
}

void MainWindow::setRightEnabled(OX::PageFooter::ButtonIndex index, bool enabled)
{
    m_footer->setRightEnabled(index, enabled);
}

void MainWindow::setProgress(bool busy)
{
    m_busy = busy;
    m_footer->setProgress(busy || m_quitting);
    setNavigationEnable(!busy, OX::NavigationOptions::all);
}

void MainWindow::setFooterState(OX::PageFooter::State const& state)
{
    m_footer->setLeft(state.left.text, state.left.action, state.left.page);
    m_footer->setRight(state.right.text, state.right.action, state.right.page, OX::PageFooter::MainButton);
    m_footer->setRightEnabled(OX::PageFooter::MainButton, state.right.enabled);
    m_footer->setRight(state.alternativeRight.text, state.alternativeRight.action,
        state.alternativeRight.page, OX::PageFooter::AlternativeButton);
    m_footer->setRightEnabled(OX::PageFooter::AlternativeButton, state.alternativeRight.enabled);
}

OX::PageFooter::State const& MainWindow::getFooterState() const
{
    return m_footer->state();
}

void MainWindow::setNavigationEnable(bool enable, OX::NavigationOptions options)
{
    // A busy page keeps the way out closed until it is done: the end of a slide that brought it
    // in, or Help going away, does not open it early.
    if (enable && m_busy)
        return;
    using N = OX::NavigationOptions;
    if (options.testFlags(N::header)) {
        m_header->setEnabled(enable);
    } else {
        if (options.testFlag(N::header_left))
            m_header->setLeftEnabled(enable);
        if (options.testFlag(N::header_right))
            m_header->setRightEnabled(enable);
    }
    if (options.testFlags(N::footer)) {
        m_footer->setEnabled(enable);
    } else {
        if (options.testFlag(N::footer_left))
            m_footer->setLeftEnabled(enable);
        if (options.testFlag(N::footer_alt))
            m_footer->setRightEnabled(OX::PageFooter::AlternativeButton, enable);
        if (options.testFlag(N::footer_right))
            m_footer->setRightEnabled(OX::PageFooter::MainButton, enable);
    }
}

Dongle* MainWindow::getDongle()
{
    return m_director ? m_director->dongle() : nullptr;
}

Headset* MainWindow::getHeadset()
{
    Dongle* dongle = getDongle();
    return dongle ? dongle->headset() : nullptr;
}

Link* MainWindow::getLink(OrvixDevice::Preset preset)
{
    Dongle* dongle = getDongle();
    return dongle ? dongle->links().value(preset, nullptr) : nullptr;
}

Settings* MainWindow::getSettings()
{
    return m_director ? m_director->settings() : nullptr;
}

OrvixDirector* MainWindow::getDirector()
{
    return m_director;
}

void MainWindow::perform(OX::PageAction action, OX::Page* page)
{
    switch (action) {
    case OX::PageAction::hide:
        if (m_director)
            m_director->showMainWindow(false);
        else
            hide();
        break;
    case OX::PageAction::quit: {
        if (m_quitting || m_quitAskedAbout || m_quitTelling)
            return; // under way, or asked about an upload that still runs, or telling its end
        if (askBeforeCuttingUpload() || tellBeforeQuitting())
            return;
        // From here nothing the person does in the windows starts anything: what the quit puts
        // back, it puts back once, and whatever began after that would stay on the devices.
        m_quitting = true;
        setEnabled(false);
        m_controller->refuseSwitches();
        m_footer->setProgress(true);
        emit quitStarted();
        QPointer<OrvixDirector> director(m_director);
        auto quit = [director]() {
            if (director)
                director->quitApplication();
            else
                QCoreApplication::quit();
        };
        Dongle* dongle = getDongle();
        if (!dongle) {
            quit();
            return;
        }
        SidebarDialog::releaseHeldKeys(dongle, dongle->headset());
        QPointer<Dongle> guard(dongle);
        putDevicesBack(dongle, [guard, quit]() {
            if (!guard)
                return quit();
            // The mouse keeps zeroing itself once this application is gone. A mouse profile still
            // being written goes whole first: its own value for it would come after this one.
            guard->sendPackets(
                {}, [](UHRType const&, PacketData const&) {},
                [guard, quit](DongleResult) {
                    if (!guard)
                        return quit();
                    guard->setMouseAutoZero(true, [quit](DongleResult) { quit(); });
                });
        });
        break;
    }
    case OX::PageAction::reset:
        m_controller->perform(action);
        break;
    case OX::PageAction::home:
        m_controller->showPage(MenuPage,
            m_controller->currentPageName() == QLatin1String(HelpPage) ? HomeFromHelpSlide : HomeSlide,
            SlideMs, false);
        break;
    case OX::PageAction::help:
        m_controller->showPage(HelpPage, HelpSlide, SlideMs, true);
        break;
    default:
        if (page)
            page->perform(action);
        break;
    }
}

void MainWindow::putDevicesBack(Dongle* dongle, std::function<void()> then)
{
    // The network held in service mode by the pairing or security page leaves it, also when the
    // page's request to enter it is still out: the dongle would take it after the application ended.
    // A pairing or removal under way ends first: a LINK it moved onto the network is not in the
    // headset's device list until its last step, and the network's leaving would pass over it.
    QPointer<Dongle> guard(dongle);
    QPointer<OX::PairingPage> pairing
        = qobject_cast<OX::PairingPage*>(m_controller->find(QStringLiteral("Pairing")));
    auto leaveServiceMode = [this, guard, then, pairing]() {
        auto leave = [this, guard, then]() {
            OX::afterServiceModeRequests(
                guard, this, [guard, then]() { OX::leaveNetworkServiceMode(nullptr, guard, then); });
        };
        if (pairing)
            pairing->afterOperations(leave);
        else
            leave();
    };
    // A headset calibrating, or that a Reset still out may put into calibration, is taken out.
    QPointer<OX::CalibrationPage> calibration
        = qobject_cast<OX::CalibrationPage*>(m_controller->find(QStringLiteral("Calibration")));
    auto endCalibration = [calibration, leaveServiceMode]() {
        if (calibration
            && (calibration->state() == OX::CalibrationPage::Calibrating || calibration->isBusy()))
            calibration->cancelCalibration(leaveServiceMode);
        else
            leaveServiceMode();
    };
    // A mouse profile on trial gives way to the selected one: the trial's question, left open,
    // would never revert it.
    auto* profiles = qobject_cast<OX::ProfilesPage*>(m_controller->find(QStringLiteral("Profiles")));
    if (profiles && profiles->isTrialRunning())
        profiles->endTrial(endCalibration);
    else
        endCalibration();
}

bool MainWindow::askBeforeCuttingUpload()
{
    auto* firmware = qobject_cast<OX::FirmwarePage*>(m_controller->find(QStringLiteral("Firmware")));
    QObject* upload = firmware ? firmware->runningUpload() : nullptr;
    if (!upload)
        return false;
    // An upload that ends meanwhile closes the box: the person sees how it ended and may quit again.
    OX::Page::Question question = firmware->quitQuestion();
    question.about << QPointer<QObject>(firmware);
    m_quitAskedAbout = upload;
    QPointer<MainWindow> self(this);
    OX::Page::askApplication(question, [self, firmware = QPointer<OX::FirmwarePage>(firmware)](int answer) {
        if (!self)
            return;
        self->m_quitAskedAbout = nullptr;
        if (answer != 1)
            return;
        if (firmware)
            firmware->stopUpload(); // the dongle has its line back for the last word below
        self->perform(OX::PageAction::quit, nullptr);
    });
    return true;
}

bool MainWindow::tellBeforeQuitting()
{
    auto* firmware = qobject_cast<OX::FirmwarePage*>(m_controller->find(QStringLiteral("Firmware")));
    const OX::Page::Question untold = firmware ? firmware->takeUntoldOutcome() : OX::Page::Question();
    if (untold.text.isEmpty())
        return false;
    m_quitTelling = true;
    QPointer<MainWindow> self(this);
    OX::Page::askApplication(untold, [self](int) {
        if (!self)
            return;
        self->m_quitTelling = false;
        self->perform(OX::PageAction::quit, nullptr);
    });
    return true;
}

void MainWindow::moveContainer(QPoint offset)
{
    move(pos() + offset);
}

// ---- The director's events ------------------------------------------------------------------

void MainWindow::onDongleUpdated(Dongle* dongle, DongleChangeMask mask)
{
    // A dongle still starting tells its state too, but no page reaches it yet: the menu would
    // offer the pages that need a dongle to a person who would find none there. The pages hear
    // it once it is connected.
    if (dongle && dongle != getDongle())
        return;
    m_controller->updateWithDongle(dongle, mask);
}

void MainWindow::onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask)
{
    m_controller->updateWithHeadset(headset, mask);
    if (headset && mask.testFlag(HeadsetChangeMask::channelMap) && headset->channelMap().isEmpty())
        emit m_controller->navigateToPage(PairingPage);
}

void MainWindow::onDeviceFound(Dongle* dongle, NPP const& npp)
{
    m_controller->deviceFound(dongle, npp);
}

void MainWindow::onHeadsetStatusChanged(Headset* headset, bool active)
{
    m_controller->headsetStatusChanged(headset, active);
}

void MainWindow::onHeadsetChannelChanged(Headset* headset, int channel)
{
    m_controller->headsetChannelChanged(headset, channel);
}

void MainWindow::onSettingsChanged(Settings* settings)
{
    m_controller->settingsChanged(settings);
}

void MainWindow::onProgressUpdated(Progress::Context const* context)
{
    if (!context || !context->flags) {
        stopVeil();
        return;
    }
    if (m_progress->isRunning() && context == m_veilContext) {
        m_progress->update();
        return;
    }
    m_veilContext = context;
    m_progress->stop();
    m_progress->start(context);
}

void MainWindow::stopVeil()
{
    m_veilContext = nullptr;
    m_progress->stop();
}

void MainWindow::onDongleDisconnected(Dongle* dongle)
{
    Q_UNUSED(dongle);
    // Told just before the dongle is deleted: the veil lets go of the dongle's progress record,
    // which goes with it, and whatever a page waited for went with the dongle too: the person
    // gets the navigation back.
    stopVeil();
    if (m_busy)
        setProgress(false);
}

void MainWindow::onPageWillAppear(OX::Page* page)
{
    Dongle* dongle = getDongle();
    page->updateWithDongle(dongle, DongleChangeMask::all);
    page->updateWithHeadset(dongle ? dongle->headset() : nullptr, HeadsetChangeMask::all);
}

void MainWindow::onMenuItemAction(OX::MenuItem::Identifier id, QString const& title)
{
    qDebug().noquote() << QStringLiteral("Menu Item (%1: %2) action").arg(int(id)).arg(title);
    const QString name = pageOf(id);
    if (!name.isEmpty())
        m_controller->showPage(name, MenuSlide, SlideMs, true);
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("OrvixTools"));
        m_header->retranslate();
        m_controller->retranslate();
        m_footer->retranslate();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the end of the session, the window goes: a window refusing would cancel the
    // person's logout or shutdown.
    if (qGuiApp && qGuiApp->isSavingSession()) {
        event->accept();
        return;
    }
    event->ignore();
    hide();
}
