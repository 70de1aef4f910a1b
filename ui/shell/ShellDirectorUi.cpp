#include "ui/shell/ShellDirectorUi.h"

#include "app/OrvixDirector.h"
#include "ui/shell/CrossWindow.h"
#include "ui/shell/MainWindow.h"
#include "ui/shell/SidebarDialog.h"
#include "ui/toolkit/ProgressDialog.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/SoundPlayer.h"

#include <QWidget>

#include <initializer_list>

namespace
{

QString& windowStyleSheet()
{
    static QString sheet;
    return sheet;
}

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
    windowStyleSheet() = OX::Skin::instance()->loadQSS(QStringLiteral(":/styles/global"));
}

QString ShellDirectorUi::styleSheet()
{
    return windowStyleSheet();
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
    m_mainWindow = std::make_unique<MainWindow>(nullptr);
    m_sidebar = std::make_unique<SidebarDialog>(nullptr);
    m_crossWindow = std::make_unique<CrossWindow>(nullptr, director);
    m_progressDialog = std::make_unique<OX::ProgressDialog>(nullptr);
    const QString sheet = windowStyleSheet();
    if (!sheet.isEmpty()) {
        for (QWidget* window : std::initializer_list<QWidget*> {
                 m_mainWindow.get(), m_sidebar.get(), m_crossWindow.get(), m_progressDialog.get() })
            window->setStyleSheet(sheet);
    }
    connect(m_sidebar.get(), &SidebarDialog::statusIconAction, this, &DirectorUi::statusIconAction);
    connect(
        m_progressDialog.get(), &OX::ProgressDialog::dialogClosed, this, &DirectorUi::progressDialogClosed);
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

int ShellDirectorUi::showQuestion(const QString& title, const QString& text, const QStringList& buttons)
{
    return m_mainWindow->showQuestion(title, text, buttons);
}

void ShellDirectorUi::perform(int action)
{
    m_mainWindow->perform(OX::PageAction(action), nullptr);
}

void ShellDirectorUi::attachSidebar()
{
    m_sidebar->attach(m_director);
}

void ShellDirectorUi::showSidebar()
{
    m_sidebar->show();
}

void ShellDirectorUi::hideSidebar()
{
    emit m_sidebar->hideSignal();
}

void ShellDirectorUi::runCrossView(bool visual, int milliseconds, std::function<void()> done)
{
    m_crossWindow->runCrossView(visual, milliseconds, std::move(done));
}

void ShellDirectorUi::abortCrossView()
{
    m_crossWindow->abortCrossView();
}

bool ShellDirectorUi::isCrossViewRunning() const
{
    return m_crossWindow->isRunning();
}

void ShellDirectorUi::setProgressInfo(const QString& text)
{
    m_progressDialog->setInfo(text);
}

void ShellDirectorUi::setProgress(double fraction)
{
    m_progressDialog->setProgress(fraction);
}

void ShellDirectorUi::showProgressDialog()
{
    m_progressDialog->show();
}

void ShellDirectorUi::hideProgressDialog()
{
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
