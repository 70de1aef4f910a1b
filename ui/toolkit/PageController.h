#pragma once
// The middle of the main window: it holds the named pages, shows one at a time and slides from
// one to the next, calling the pages' hooks in a fixed order. A switch runs from showPage until the
// slide has finished (or, without animation, until the page being left calls done); meanwhile every
// other switch is refused, navigation stays disabled and notifications reach both pages, the
// incoming one first. "Help", opened with a slide and a way back, comes over a page without telling
// that page it went, and the back action returns to it without telling it it came back (the page
// keeps its own way back); reached otherwise, Help is a page like any other. Meanwhile the page is
// off screen (its header and footer writes kept aside, its boxes waiting) and, back, it hears the
// whole device state through pageWillAppearSignal.
#include "ui/toolkit/Page.h"

#include <QMap>
#include <QPointer>
#include <QString>

#include <functional>

class QParallelAnimationGroup;
class QVBoxLayout;

namespace OX
{

class PageController : public Page
{
    Q_OBJECT
public:
    explicit PageController(PageContainer* container);
    // Forgets every page (each loses its controller and name); deletes none.
    ~PageController() override;

    // False when name is taken; the page is hidden and attached.
    bool addPage(Page* page, QString const& name);
    // Registers name for a page that build makes the first time the page is needed: when it is
    // first shown or asked for with page(). False when name is taken.
    bool addPage(QString const& name, std::function<Page*()> build);
    // Drops the page of that name, deleting it when del is set. The page shown, being brought in or
    // under Help is refused with a warning: the controller would go on showing (or going back to) a
    // page it no longer knows.
    void removePage(QString const& name, bool del);
    void removePage(Page* page, bool del);
    // The first page, shown without animation or way back; an unregistered name does nothing.
    void setInitialPage(QString const& name);
    QString currentPageName() const;
    Page* currentPage() const { return m_currentPage; }
    Page* nextPage() const { return m_nextPage; }
    // The page of that name, built now when it is registered to be built and was not yet; null
    // for a name that is not registered.
    Page* page(QString const& name);
    // The page of that name if it exists; builds nothing.
    Page* find(QString const& name) const { return m_pages.value(name); }
    // A switch is under way (a slide, or a page being left that has not called done yet).
    bool isSwitching() const { return m_nextPage || !m_animation.isNull(); }

    // True when name is another registered page, a page is shown, no switch is under way, and the
    // shown page agrees to go (asked last).
    bool shouldShowPage(QString const& name);
    // Switches to name (see the class comment); record writes the incoming page's way back. False,
    // with nothing changed and nothing logged, for the current name, an unregistered name, before
    // setInitialPage, during a switch and once switches are refused.
    bool showPage(QString const& name, int transition, int duration, bool record);
    // From here no page is switched to (a switch under way still ends): the application is
    // ending, and a page opened now would start on the devices what nothing puts back.
    void refuseSwitches() { m_refusing = true; }

    // Test seam: when not negative, every animated slide runs this many milliseconds (the way
    // back still records the duration asked for).
    void setSlideDurationOverride(int ms) { m_slideOverrideMs = ms; }

    bool perform(PageAction action) override;
    void retranslate() override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;
    void deviceFound(Dongle* dongle, NPP const& npp) override;
    void headsetStatusChanged(Headset* headset, bool active) override;
    void headsetChannelChanged(Headset* headset, int channel) override;
    void settingsChanged(Settings* settings) override;

    // How long navigateToPage waits before it switches.
    static constexpr int NavigateDelayMs = 500;
    static constexpr int NavigateDurationMs = 1000;
    static constexpr char const* HelpPageName = "Help";

signals:
    // Opens identifier NavigateDelayMs later with slide 1, NavigateDurationMs long, recording the way back.
    void navigateToPage(QString const& identifier);
    // A page is coming on screen: its visit has begun and pageWillAppear follows, or it comes
    // back from under Help. Whoever passes the devices' state on tells it the whole state here.
    void pageWillAppearSignal(OX::Page* page);

public slots:
    void onShowPage(QString const& name);

private:
    friend class Page;
    // A page being destroyed is dropped whatever it shows.
    void forgetDestroyedPage(Page* page);
    void removeEntry(QString const& name, bool del);
    void finishSwitch(
        bool fromHelp, bool returningFromHelp, bool toHelp, QPointer<Page> old, QPointer<Page> underHelp);
    // The page left goes off screen and, unless Help covers it, is told it went; so is the page
    // under Help when the switch leaves it.
    void takeOut(QPointer<Page> const& old, QPointer<Page> const& underHelp, bool toHelp);
    // Begins the incoming page's visit (or uncovers it, back from Help) and tells pageWillAppearSignal;
    // false when the page or the controller went meanwhile.
    bool bringOn(QPointer<Page> const& incoming, bool returningFromHelp);
    bool isRegistered(Page* page) const;
    // Another registered page, a page shown, no switch under way and switches not refused.
    bool canSwitchTo(QString const& name) const;
    // To the incoming and the shown page; with losses, also to the page under Help, which would
    // otherwise be found as it was before its dongle or headset went.
    template <typename F> void forward(F call, bool loss = false);

    QPointer<Page> m_currentPage;
    QPointer<Page> m_nextPage;
    QMap<QString, Page*> m_pages;
    QVBoxLayout* m_layout;
    QPointer<QParallelAnimationGroup> m_animation;
    int m_slideOverrideMs = -1;
    bool m_refusing = false;
    QMap<QString, std::function<Page*()>> m_builders; // pages not built yet
};

} // namespace OX
