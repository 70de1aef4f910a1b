#pragma once
// The application's windows as the director sees them: the main window, the sidebar, the
// crosshair overlay, the progress window of the software update and the sound player, all
// owned here. Only the main window is built with the director: the sidebar follows once the
// main window has first been drawn (or when it is first needed), the overlay and the progress
// window when first used.
#include "app/DirectorUi.h"

#include <functional>
#include <memory>
#include <vector>

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
    // Starts the threads that the main window's construction would otherwise start: the pool's
    // (which reads its icons) and the accessibility bridge's connection to the session bus (at
    // its first text). Called once the application object exists, before the GL driver is
    // loaded beside the start (Startup's applicationCreated): no thread can start while another
    // loads a library, and the window would wait there for the whole of the driver's load.
    static void startThreads();

    void create(OrvixDirector* director) override;
    QWidget* mainWidget() const override;

    void attachMainWindow() override;
    void detachMainWindow() override;
    void showMainWindow() override;
    void hideMainWindow() override;
    bool isMainWindowTotallyVisible() const override;
    // After the main window's first drawing; at once when it is hidden or was drawn already.
    void afterFirstSight(std::function<void()> work) override;
    // Through the pages' own mechanism (OX::Page::askApplication).
    void ask(Box box, std::function<void(int)> answer) override;
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

    // The windows, each built here when not yet built.
    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    SidebarDialog* sidebar();
    CrossWindow* crossWindow();
    OX::ProgressDialog* progressDialog();
    OX::SoundPlayer* soundPlayer() const { return m_soundPlayer.get(); }

    // The threads of Qt's global pool: the interface's work there is reading its icons at the
    // start, a few milliseconds.
    static constexpr int PoolThreads = 2;
    // How long work after the first sight (the sidebar among it) waits for the main window's
    // first drawing before it runs anyway.
    static constexpr int FirstSightFallbackMs = 1000;

private:
    void styled(QWidget* window) const;
    // Runs what waited for the first sight, in the order it was given.
    void runFirstSightWork();

    OrvixDirector* m_director = nullptr;
    bool m_mainWindowShown = false;
    bool m_sidebarAttached = false;
    std::vector<std::function<void()>> m_firstSightWork;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<SidebarDialog> m_sidebar;
    std::unique_ptr<CrossWindow> m_crossWindow;
    std::unique_ptr<OX::ProgressDialog> m_progressDialog;
    std::unique_ptr<OX::SoundPlayer> m_soundPlayer;
};
