#pragma once
// One screen of the main window. A page is registered under a name in the page controller,
// which shows it and calls its life-cycle hooks around every switch; it reaches the window and
// the devices only through its PageContainer, asking at the moment of use. A page keeps the way
// back that was recorded when it was opened, and the back action returns along it.
#include "device/DongleDelegate.h"
#include "ui/toolkit/PageAction.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/PageFooter.h"
#include "ui/toolkit/PageHeader.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class Dongle;
class Headset;
class Settings;
class QDialog;
class QMessageBox;

namespace OX
{

class PageController;

class Page : public QWidget
{
    Q_OBJECT
public:
    // How the controller slides from one page to the next. Values above 4 are switched for
    // the given time without visible movement.
    enum Transition : int {
        NoTransition = 0, // swapped at once
        FromRight = 1, // the new page enters from the right, the old one leaves to the left
        FromLeft = 2,
        FromBottom = 3,
        FromTop = 4,
    };
    // 1<->2, 3<->4, anything else 0.
    static Transition inverse(int transition);

    // The way back: where the user came from, how, and what the header and footer showed there.
    struct State {
        QPointer<Page> page; // not owned; null: nothing recorded, or the page is gone
        QString name;
        QString helpKey;
        int transition = NoTransition;
        int duration = 0; // ms
        PageHeader::State header;
        PageFooter::State footer;

        void reset() { *this = State(); }
        // Goes back to the recorded page with the inverse slide, restoring header and footer first;
        // record is handed to showPage. False when nothing is recorded, the page has no controller or
        // the switch is refused; the State is never changed here.
        bool show(bool record) const;
    };

    Page(PageContainer* container, QWidget* parent = nullptr);
    // A registered page is forgotten by its controller first (never deleted by it).
    ~Page() override;

    // Called only by PageController::addPage.
    void attachToController(PageController* controller, QString const& name);
    // Called only by PageController once it has dropped the page: forgets the controller and the name.
    void detachFromController();

    // The back action: for back on a registered page in its visit (on screen or under Help) with a
    // way back, closes an open question, restores the header and footer of the page returned to
    // and slides back; the way back is then used up. False (and nothing changed) otherwise, or when
    // the switch is refused.
    virtual bool perform(PageAction action);
    // Re-applies every translated text.
    virtual void retranslate() = 0;
    // from: the page being left ("" for the first page). The default calls retranslate().
    virtual void pageWillAppear(QString const& from);
    // Asked only before a back action; false keeps the page and nothing else is called.
    virtual bool pageShouldDisappear();
    // to: the page being opened. The switch waits until done is called, exactly once (the
    // default calls it at once).
    virtual void pageWillDisappear(QString const& to, std::function<void()> done);
    virtual void pageDidAppear();
    virtual void pageDidDisappear();
    virtual void updateWithHeadset(Headset* headset, HeadsetChangeMask mask);
    virtual void updateWithDongle(Dongle* dongle, DongleChangeMask mask);
    virtual void deviceFound(Dongle* dongle, NPP const& npp);
    virtual void headsetStatusChanged(Headset* headset, bool active);
    virtual void headsetChannelChanged(Headset* headset, int channel);
    virtual void settingsChanged(Settings* settings);

    // What a question's box shows beside its text.
    enum class Icon { None, Information, Warning, Critical, Question };
    // What a question or dialog is about (dongle, headset, link...): no answer once one is gone.
    using About = QList<QPointer<QObject>>;
    // A question or message box of a page.
    struct Question {
        Icon icon = Icon::Question;
        QString title, text, informative;
        QStringList buttons; // empty: a single OK
        About about;
    };
    // The one way a page asks. Returns at once; the box opens from the event loop (never inside a
    // device callback, a destructor or a cancellation), modal and kept on top, and only while the
    // page's visit() is still the one it was asked in and everything in about still exists. A
    // question asked outside a visit (the page left or leaving) is dropped; one asked while Help
    // covers the page waits until the page is back on screen. A message (no answer) whose visit
    // ends before it opens is told once all the same, over whatever is on screen then (as
    // askApplication). answer gets the index of the button clicked, or -1 when the box closed
    // otherwise; it runs from the event loop under the same two conditions. The back action, the
    // end of the visit and the loss of anything in about close the box.
    void ask(Question question, std::function<void(int)> answer = {});
    // The same for a dialog of the page's own (a choice, a trial), which the page hands over: it
    // opens as a question does, and is deleted once closed, or unopened when the visit or
    // anything in about went first. answer gets the dialog's result (QDialog::Accepted or
    // Rejected, -1 when the back action, the end of the visit or a loss closed it) under the same
    // conditions as a question's answer, while the dialog still exists.
    void open(QDialog* dialog, About about, std::function<void(int)> answer = {});
    // For pageShouldDisappear when leaving needs the person's word: refuses the leave and asks
    // question; when leaves(answer) holds, the back action runs again in the same visit, and this
    // then says yes without asking.
    bool askBeforeLeaving(Question question, std::function<bool(int)> leaves);
    // The last word of a page being left (from pageWillDisappear or pageDidDisappear): asked over
    // the next page as ask would, until the page begins to appear again. Inside a visit it is ask.
    void askOnLeaving(Question question, std::function<void(int)> answer = {});
    // The same for the application's own questions and messages (the director's), which belong to
    // no page: opened from the event loop, modal, skinned and kept on top; closed unanswered once
    // anything in about is gone. answer runs from the event loop while everything in about exists.
    static void askApplication(Question question, std::function<void(int)> answer = {});
    // A modal box run in place, for callers that hold no device callback, destructor or
    // cancellation on the stack; the back action of page (when given) closes it. Returns the
    // index in buttons of the button clicked, or -1 when the box closed without one of them.
    static int showQuestion(Question const& question, Page* page = nullptr);
    int showQuestion(QString const& title, QString const& text, QStringList const& buttons);

    // The visit token: it changes when the page begins to appear and when it begins to leave, so a
    // request, timer or chain that keeps the token it started with knows whether it still belongs
    // to the page on screen.
    quint64 visit() const { return m_visit; }
    // True while the visit numbered visit runs (the page appeared and has not begun to leave since).
    bool isVisit(quint64 visit) const { return m_visiting && visit == m_visit; }
    // Called only by PageController: before pageWillAppear and before pageWillDisappear. Ending
    // first delivers the answers of boxes already closed, then closes the open ones unanswered.
    void beginVisit();
    void endVisit();
    // On screen: the visit runs and Help does not cover the page. Only a page on screen writes the
    // header and footer through its container (what it writes while Help covers it is kept for
    // its return, anything else is dropped) and opens boxes.
    bool isOnScreen() const { return m_visiting && !m_covered; }
    // The visit runs under Help.
    bool isCovered() const { return m_visiting && m_covered; }
    // Called only by PageController: Help comes over the page (true) or goes back to it (false).
    // Uncovered, the header and footer show what the page last set, and a box it asked for
    // meanwhile opens.
    void setCovered(bool covered);

    PageContainer* const container; // the window as this page reaches it (see isOnScreen)
    PageController* controller = nullptr; // not owned; null while not registered
    QString name; // the registered name, empty while not registered
    QString helpKey; // the help topic of what the page shows now
    State state; // the way back
    bool appeared = false; // from pageDidAppear until the page begins to leave

signals:
    // Emitted by the back action with 0; the page's open question box closes with it.
    void closeDialog(int result);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The box of a question, built in one place for every page and the window: parentless, kept
    // on top, the first button with the yes role and the others with the no role (none: the box's
    // own OK). The caller owns it.
    static QMessageBox* makeBox(Question const& question);
    // The index in buttons of box's clicked button, -1 for none (or the box's own OK).
    static int answerOf(QMessageBox* box);
    // answer, given the index of box's clicked button instead of the dialog's result.
    static std::function<void(int)> indexAnswer(QMessageBox* box, std::function<void(int)> answer);
    void showDialog(QDialog* dialog, About const& about, quint64 visit, std::function<void(int)> answer);
    // Shows dialog modal, closing it with -1 once anything in about goes; finished gets the result
    // of its first closing.
    static void showBox(QDialog* dialog, About const& about, std::function<void(int)> finished);
    // Hands dialog to the event loop, where it opens as the application's own box, whatever page
    // is on screen then; deleted once closed, or unopened once anything in about is gone.
    static void offerApplication(QDialog* dialog, About about, std::function<void(int)> answer);
    // Hands dialog to the event loop, where it opens in the visit it was asked in.
    void queueDialog(QDialog* dialog, About about, std::function<void(int)> answer);
    void offerDialog(
        QPointer<QDialog> dialog, About const& about, quint64 visit, std::function<void(int)> answer);

    // The boxes that waited under Help find their visit gone.
    void dropWaiting();
    // Gives back the busy footer and the buttons the page turned off.
    void letGoOfWindow();

    class Screen; // the container as the page reaches it
    std::unique_ptr<Screen> m_screen;
    bool m_covered = false;
    QList<std::function<void()>> m_waiting; // boxes asked while covered

    quint64 m_visit = 0;
    bool m_visiting = false;
    bool m_leaveAnswered = false; // the back action run again by askBeforeLeaving's answer
    QList<QPointer<QDialog>> m_boxes; // the boxes and dialogs of ask and open, opened or about to
    QList<std::shared_ptr<std::function<void()>>> m_answers; // answers of closed boxes not yet run
};

} // namespace OX
