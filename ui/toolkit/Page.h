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

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class Dongle;
class Headset;
class Settings;

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
        Page* page = nullptr; // not owned; null: nothing recorded
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

    // The back action: for back on a registered page with a way back, closes an open question,
    // restores the header and footer of the page returned to and slides back; the way back is
    // then used up. False (and nothing changed) otherwise, or when the switch is refused.
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

    // A modal question box kept on top; the back action closes it. Returns the index in buttons
    // of the button clicked, or -1 when the box closed without one of them (an empty list gets
    // the box's own OK, which also gives -1).
    int showQuestion(QString const& title, QString const& text, QStringList const& buttons);

    PageContainer* const container; // not owned
    PageController* controller = nullptr; // not owned; null while not registered
    QString name; // the registered name, empty while not registered
    QString helpKey; // the help topic of what the page shows now
    State state; // the way back
    bool appeared = false; // from pageDidAppear to pageDidDisappear

signals:
    // Emitted by the back action with 0; the page's open question box closes with it.
    void closeDialog(int result);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace OX
