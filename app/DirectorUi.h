#pragma once
// What the director asks of its windows, of the download's progress window and of the sound
// player. The application's implementation lives with the windows (ui/shell) and owns them;
// the director owns the implementation for the whole run.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class OrvixDirector;
class QWidget;

class DirectorUi : public QObject {
    Q_OBJECT
public:
    // Actions handed to the main window's perform.
    enum Action : int {
        HideAction = 1,
        QuitAction = 2,
    };

    // Sound samples (the sound player's numbering).
    enum Sample : int {
        ZeroInitSample = 0,
        ChannelActiveSample = 1,
        ChannelPassiveSample = 2,
    };

    explicit DirectorUi(QObject* parent = nullptr)
        : QObject(parent)
    {
    }
    ~DirectorUi() override = default;

    // Builds the windows (hidden) for director; called once, first thing in its construction.
    virtual void create(OrvixDirector* director) = 0;
    // The main window as the parent of boxes, the tray icon and its menu; may be null.
    virtual QWidget* mainWidget() const = 0;

    // ---- main window ----
    virtual void attachMainWindow() = 0;
    virtual void detachMainWindow() = 0;
    virtual void showMainWindow() = 0;
    virtual void hideMainWindow() = 0;
    // Visible and the active window.
    virtual bool isMainWindowTotallyVisible() const = 0;
    // Runs work once the shown main window has been drawn for the first time (or at once when
    // there is nothing to wait for), so that the first sight does not wait for it.
    virtual void afterFirstSight(std::function<void()> work) { work(); }
    // A question or message of the director.
    struct Box {
        enum Icon : int { NoIcon = 0, Information, Warning, Critical, Question }; // as OX::Page::Icon
        int icon = Question;
        QString title;
        QString text;
        QStringList buttons; // one per entry, the first accepts; empty: a single OK
        QList<QPointer<QObject>> about; // what it is about: it closes unanswered once one goes
    };
    // Asks the way the pages ask. Returns at once; the box opens from the event loop, modal,
    // skinned and kept on top. answer (when given) gets the index of the clicked button, -1 when
    // the box closed otherwise; it runs from the event loop, and never once anything in about
    // is gone.
    virtual void ask(Box box, std::function<void(int)> answer) = 0;
    // The main window's container-level action (Action) without a page.
    virtual void perform(int action) = 0;

    // ---- sidebar ----
    virtual void attachSidebar() = 0;
    virtual void showSidebar() = 0;
    // Emits the sidebar's hide signal.
    virtual void hideSidebar() = 0;

    // ---- crosshair countdown ----
    virtual void runCrossView(bool visual, int milliseconds, std::function<void()> done) = 0;
    virtual void abortCrossView() = 0;
    virtual bool isCrossViewRunning() const = 0;

    // ---- progress window of the software update ----
    virtual void setProgressInfo(const QString& text) = 0;
    virtual void setProgress(double fraction) = 0;
    virtual void showProgressDialog() = 0;
    virtual void hideProgressDialog() = 0;

    // ---- sounds ----
    virtual void createSoundPlayer() = 0;
    virtual void destroySoundPlayer() = 0;
    virtual bool hasSoundPlayer() const = 0;
    // Plays a Sample; nothing without a sound player.
    virtual void play(int sample) = 0;

signals:
    // The user clicked the sidebar's status icon.
    void statusIconAction();
    // The user cancelled the progress window.
    void progressDialogClosed();
};
