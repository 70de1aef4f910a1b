#pragma once
// The application's windows as the director sees them: the main window, the sidebar, the
// crosshair overlay, the progress window of the software update and the sound player, all
// owned here.
#include "app/DirectorUi.h"

#include <memory>

class CrossWindow;
class MainWindow;
class SidebarDialog;

namespace OX {
class ProgressDialog;
class SoundPlayer;
}

class ShellDirectorUi : public DirectorUi {
    Q_OBJECT
public:
    explicit ShellDirectorUi(QObject* parent = nullptr);
    ~ShellDirectorUi() override;

    // Loads the skin of named colours and the style sheet with its colours filled in; the
    // windows built afterwards take that sheet. Called once before the windows are built.
    static void loadStyle();
    // The style sheet loadStyle prepared; empty before.
    static QString styleSheet();

    void create(OrvixDirector* director) override;
    QWidget* mainWidget() const override;

    void attachMainWindow() override;
    void detachMainWindow() override;
    void showMainWindow() override;
    void hideMainWindow() override;
    bool isMainWindowTotallyVisible() const override;
    int showQuestion(const QString& title, const QString& text, const QStringList& buttons) override;
    void perform(int action) override;

    void attachSidebar() override;
    void showSidebar() override;
    void hideSidebar() override;

    void runCrossView(bool visual, int milliseconds, std::function<void()> done) override;
    void abortCrossView() override;
    bool isCrossViewRunning() const override;

    void setProgressInfo(const QString& text) override;
    void setProgress(double fraction) override;
    void showProgressDialog() override;
    void hideProgressDialog() override;

    void createSoundPlayer() override;
    void destroySoundPlayer() override;
    bool hasSoundPlayer() const override;
    void play(int sample) override;

    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    SidebarDialog* sidebar() const { return m_sidebar.get(); }
    CrossWindow* crossWindow() const { return m_crossWindow.get(); }
    OX::ProgressDialog* progressDialog() const { return m_progressDialog.get(); }
    OX::SoundPlayer* soundPlayer() const { return m_soundPlayer.get(); }

private:
    OrvixDirector* m_director = nullptr;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<SidebarDialog> m_sidebar;
    std::unique_ptr<CrossWindow> m_crossWindow;
    std::unique_ptr<OX::ProgressDialog> m_progressDialog;
    std::unique_ptr<OX::SoundPlayer> m_soundPlayer;
};
