#include "ui/shell/ShellDirectorUi.h"

#include "app/OrvixDirector.h"
#include "ui/shell/CrossWindow.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/SidebarDialog.h"
#include "ui/toolkit/Page.h"
#include "ui/toolkit/ProgressDialog.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/SoundPlayer.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QImageReader>
#include <QSemaphore>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace
{

// How long startThreads waits for the pool's threads to have started.
constexpr int ThreadStartWaitMs = 1000;

} // namespace

ShellDirectorUi::ShellDirectorUi(QObject* parent)
    : DirectorUi(parent)
{
}

void ShellDirectorUi::loadStyle()
{
    OX::Skin::instance()->load(QStringLiteral(":/styles/colors"));
    // The sheet is given to our own windows (their dialogs, boxes and tooltips inherit it),
    // never to the whole application: the system's balloons and boxes elsewhere keep their own
    // readable colours.
    OX::Skin::instance()->setStyleSheet(OX::Skin::instance()->loadQSS(QStringLiteral(":/styles/global")));
}

QString ShellDirectorUi::styleSheet()
{
    return OX::Skin::instance()->styleSheet();
}

void ShellDirectorUi::startThreads()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(PoolThreads);
    // Each task holds its thread until the others have started, so that each starts one. A
    // pool kept busy elsewhere is not waited for long: its threads exist already.
    auto started = std::make_shared<QSemaphore>();
    auto release = std::make_shared<QSemaphore>();
    for (int i = 0; i < PoolThreads; ++i)
        pool->start([started, release] {
            started->release();
            release->acquire();
        });
    started->tryAcquire(PoolThreads, ThreadStartWaitMs);
    release->release(PoolThreads);
    // Makes the platform's accessibility bridge, which connects to the session bus on a thread
    // of its own.
    QAccessible::isActive();
}

ShellDirectorUi::~ShellDirectorUi()
{
    // The overlay and the toolbar go before the main window, the parent of the tray icon.
    m_soundPlayer.reset();
    m_progressDialog.reset();
    m_crossWindow.reset();
    m_sidebar.reset();
    m_mainWindow.reset();
}

void ShellDirectorUi::create(OrvixDirector* director)
{
    m_director = director;
    // The application ends through its Quit only: a window closed from outside (a box closed by
    // the window manager while the main window and the toolbar are hidden, say) never ends it.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Two threads beside the GUI thread read the icons. A map would start one per core, and
    // every pool thread keeps a memory arena of its own afterwards (about a megabyte of the
    // resident size for each).
    QThreadPool::globalInstance()->setMaxThreadCount(PoolThreads);
    // Qt looks its plugins up under one lock for the whole process, and the first image read
    // looks through every image format plugin while it holds it. That look-up is made here,
    // before the window's images are read on the pool: the main window's creation, which looks
    // up the window system's GL support, does not wait for a pool thread's scan.
    QImageReader::supportedImageFormats();
    m_mainWindow = std::make_unique<MainWindow>(nullptr);
    styled(m_mainWindow.get());
    connect(m_mainWindow.get(), &MainWindow::firstShown, this, [this] {
        m_mainWindowShown = true;
        runFirstSightWork();
    });
    // A toolbar key sent while the application quits would come after the quit let go of the
    // held keys.
    connect(m_mainWindow.get(), &MainWindow::quitStarted, this, [this] {
        if (m_sidebar)
            m_sidebar->setEnabled(false);
    });
}

void ShellDirectorUi::afterFirstSight(std::function<void()> work)
{
    if (m_mainWindowShown || !m_mainWindow->isVisible()) {
        work();
        return;
    }
    // A main window that is never drawn (no display, a window manager that never maps it)
    // does not keep the work waiting for ever.
    if (m_firstSightWork.empty())
        QTimer::singleShot(FirstSightFallbackMs, this, &ShellDirectorUi::runFirstSightWork);
    m_firstSightWork.push_back(std::move(work));
}

void ShellDirectorUi::runFirstSightWork()
{
    // Work may ask for more; each piece runs once.
    while (!m_firstSightWork.empty()) {
        std::function<void()> work = std::move(m_firstSightWork.front());
        m_firstSightWork.erase(m_firstSightWork.begin());
        work();
    }
}

void ShellDirectorUi::styled(QWidget* window) const
{
    OX::Skin::apply(window);
}

SidebarDialog* ShellDirectorUi::sidebar()
{
    if (!m_sidebar) {
        m_sidebar = std::make_unique<SidebarDialog>(nullptr);
        styled(m_sidebar.get());
        connect(m_sidebar.get(), &SidebarDialog::statusIconAction, this, &DirectorUi::statusIconAction);
        m_sidebar->setEnabled(!(m_mainWindow && m_mainWindow->isQuitting()));
        if (m_sidebarAttached)
            m_sidebar->attach(m_director);
    }
    return m_sidebar.get();
}

CrossWindow* ShellDirectorUi::crossWindow()
{
    if (!m_crossWindow) {
        m_crossWindow = std::make_unique<CrossWindow>(nullptr, m_director);
        styled(m_crossWindow.get());
    }
    return m_crossWindow.get();
}

OX::ProgressDialog* ShellDirectorUi::progressDialog()
{
    if (!m_progressDialog) {
        // A dialog of the main window (which outlives it): no task-bar entry of its own, and it
        // stays over the window it belongs to.
        m_progressDialog = std::make_unique<OX::ProgressDialog>(m_mainWindow.get());
        styled(m_progressDialog.get());
        connect(m_progressDialog.get(), &OX::ProgressDialog::dialogClosed, this,
            &DirectorUi::progressDialogClosed);
    }
    return m_progressDialog.get();
}

QWidget* ShellDirectorUi::mainWidget() const
{
    return m_mainWindow.get();
}

void ShellDirectorUi::attachMainWindow()
{
    m_mainWindow->attach(m_director);
}

void ShellDirectorUi::detachMainWindow()
{
    m_mainWindow->detach();
}

void ShellDirectorUi::showMainWindow()
{
    m_mainWindow->show();
}

void ShellDirectorUi::hideMainWindow()
{
    m_mainWindow->hide();
}

bool ShellDirectorUi::isMainWindowTotallyVisible() const
{
    return m_mainWindow->isTotallyVisible();
}

void ShellDirectorUi::ask(Box box, std::function<void(int)> answer)
{
    OX::Page::Question question;
    // Both number the icons alike; anything else shows none.
    const bool known = box.icon >= Box::NoIcon && box.icon <= Box::Question;
    question.icon = known ? OX::Page::Icon(box.icon) : OX::Page::Icon::None;
    question.title = box.title;
    question.text = box.text;
    question.buttons = box.buttons;
    question.about = box.about;
    OX::Page::askApplication(std::move(question), std::move(answer));
}

void ShellDirectorUi::perform(int action)
{
    m_mainWindow->perform(OX::PageAction(action), nullptr);
}

void ShellDirectorUi::attachSidebar()
{
    m_sidebarAttached = true;
    if (m_sidebar) {
        m_sidebar->attach(m_director);
        return;
    }
    // The sidebar comes once the main window has been drawn: the first sight does not wait for it.
    afterFirstSight([this] { sidebar(); });
}

void ShellDirectorUi::showSidebar()
{
    sidebar()->show();
}

void ShellDirectorUi::hideSidebar()
{
    // A sidebar not built yet is not shown either.
    if (m_sidebar)
        emit m_sidebar->hideSignal();
}

void ShellDirectorUi::runCrossView(bool visual, int milliseconds, std::function<void()> done)
{
    crossWindow()->runCrossView(visual, milliseconds, std::move(done));
}

void ShellDirectorUi::abortCrossView()
{
    if (m_crossWindow)
        m_crossWindow->abortCrossView();
}

bool ShellDirectorUi::isCrossViewRunning() const
{
    return m_crossWindow && m_crossWindow->isRunning();
}

void ShellDirectorUi::setProgressInfo(const QString& text)
{
    progressDialog()->setInfo(text);
}

void ShellDirectorUi::setProgress(double fraction)
{
    progressDialog()->setProgress(fraction);
}

void ShellDirectorUi::showProgressDialog()
{
    progressDialog()->show();
}

void ShellDirectorUi::hideProgressDialog()
{
    if (m_progressDialog)
        m_progressDialog->hide();
}

void ShellDirectorUi::createSoundPlayer()
{
    if (!m_soundPlayer)
        m_soundPlayer = std::make_unique<OX::SoundPlayer>(nullptr);
}

void ShellDirectorUi::destroySoundPlayer()
{
    m_soundPlayer.reset();
}

bool ShellDirectorUi::hasSoundPlayer() const
{
    return m_soundPlayer != nullptr;
}

void ShellDirectorUi::play(int sample)
{
    if (m_soundPlayer)
        m_soundPlayer->play(OX::SoundPlayer::Sample(sample));
}
