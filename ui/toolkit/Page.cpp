#include "ui/toolkit/Page.h"

#include "ui/toolkit/PageController.h"
#include "ui/toolkit/StyledBackground.h"

#include <QDialog>

#include <utility>

namespace OX
{

// The window as a page reaches it. Reads always reach the window; the header and footer take a
// page's writes only while it is on screen (or while it belongs to no controller, driven by hand).
// Under Help they go to a record of its own, shown again when Help goes back to it; from a page
// that left or is leaving they go nowhere, so its exit's completion, a late reply or a last update
// never writes over the next page. A busy footer or buttons turned off that the page set are always
// let go.
class Page::Screen : public PageContainer
{
public:
    Screen(PageContainer* window, Page* page)
        : m_window(window)
        , m_page(page)
    {
    }

    void cover()
    {
        m_header = m_window->getHeaderState();
        m_footer = m_window->getFooterState();
        m_keptBusy = m_busy;
    }
    void uncover()
    {
        m_window->setHeaderState(m_header);
        m_window->setFooterState(m_footer);
        // Work the page began under Help shows busy again (and keeps navigation off) once it is back.
        if (m_keptBusy != m_busy) {
            m_busy = m_keptBusy;
            m_window->setProgress(m_busy);
        }
    }

    void setTitle(QString const& title) override
    {
        if (shown())
            m_window->setTitle(title);
        else if (kept())
            m_header.title = title;
    }
    void setSubtitle(QString const& subtitle) override
    {
        if (shown())
            m_window->setSubtitle(subtitle);
        else if (kept())
            m_header.subtitle = subtitle;
    }
    void setHeaderState(PageHeader::State const& state) override
    {
        if (shown())
            m_window->setHeaderState(state);
        else if (kept())
            m_header = state;
    }
    PageHeader::State const& getHeaderState() const override
    {
        return kept() ? m_header : m_window->getHeaderState();
    }
    void setLeft(QString const& text, PageAction action, Page* page) override
    {
        if (shown())
            m_window->setLeft(text, action, page);
        else if (kept())
            m_footer.setLeft(text, action, page);
    }
    void setRight(QString const& text, PageAction action, Page* page, PageFooter::ButtonIndex index) override
    {
        if (shown())
            m_window->setRight(text, action, page, index);
        else if (kept())
            m_footer.setRight(text, action, page, index);
    }
    void setRightEnabled(PageFooter::ButtonIndex index, bool enabled) override
    {
        if (shown())
            m_window->setRightEnabled(index, enabled);
        else if (kept())
            m_footer.setRightEnabled(index, enabled);
    }
    void setProgress(bool busy) override
    {
        if (kept())
            m_keptBusy = busy;
        if (shown() || (!busy && m_busy)) {
            m_busy = busy;
            m_window->setProgress(busy);
        }
    }
    void setFooterState(PageFooter::State const& state) override
    {
        if (shown())
            m_window->setFooterState(state);
        else if (kept())
            m_footer = state;
    }
    PageFooter::State const& getFooterState() const override
    {
        return kept() ? m_footer : m_window->getFooterState();
    }
    void setNavigationEnable(bool enable, NavigationOptions options) override
    {
        // Buttons the page turned off it also turns on again, from wherever it is.
        const quint8 held = enable ? quint8(options.value() & m_heldNavigation) : quint8(0);
        if (shown()) {
            m_window->setNavigationEnable(enable, options);
            m_heldNavigation = enable ? quint8(m_heldNavigation & ~options.value())
                                      : quint8(m_heldNavigation | options.value());
        } else if (held) {
            m_window->setNavigationEnable(true, NavigationOptions(held));
            m_heldNavigation &= quint8(~held);
        }
    }
    Dongle* getDongle() override { return m_window->getDongle(); }
    Headset* getHeadset() override { return m_window->getHeadset(); }
    Link* getLink(OrvixDevice::Preset preset) override { return m_window->getLink(preset); }
    Settings* getSettings() override { return m_window->getSettings(); }
    OrvixDirector* getDirector() override { return m_window->getDirector(); }
    void perform(PageAction action, Page* page) override { m_window->perform(action, page); }
    void moveContainer(QPoint offset) override { m_window->moveContainer(offset); }

    // At the end of a visit: the busy footer and the buttons the page turned off are given back
    // at once, before the next page sets its own; nothing the page does later changes them.
    void letGo()
    {
        if (std::exchange(m_busy, false))
            m_window->setProgress(false);
        if (const quint8 held = std::exchange(m_heldNavigation, quint8(NavigationOptions::none)))
            m_window->setNavigationEnable(true, NavigationOptions(held));
    }

private:
    bool shown() const { return !m_page->controller || m_page->isOnScreen(); }
    bool kept() const { return m_page->controller && m_page->m_visiting && m_page->m_covered; }

    PageContainer* const m_window;
    Page* const m_page;
    PageHeader::State m_header; // what the page set while covered
    PageFooter::State m_footer;
    bool m_busy = false; // the page set the footer busy
    bool m_keptBusy = false; // what the page last set while covered
    quint8 m_heldNavigation = NavigationOptions::none; // buttons the page turned off
};

Page::Transition Page::inverse(int transition)
{
    switch (transition) {
    case FromRight:
        return FromLeft;
    case FromLeft:
        return FromRight;
    case FromBottom:
        return FromTop;
    case FromTop:
        return FromBottom;
    default:
        return NoTransition;
    }
}

bool Page::State::show(bool record) const
{
    if (!page)
        return false;
    PageController* target = page->controller;
    if (!target || !target->shouldShowPage(name))
        return false;
    if (target->container) {
        target->container->setHeaderState(header);
        target->container->setFooterState(footer);
    }
    return target->showPage(name, inverse(transition), duration, record);
}

Page::Page(PageContainer* container, QWidget* parent)
    : QWidget(parent)
    , container(container ? new Screen(container, this) : nullptr)
{
    m_screen.reset(static_cast<Screen*>(this->container));
}

Page::~Page()
{
    for (QPointer<QDialog> const& box : m_boxes)
        delete box.data();
    if (controller)
        controller->forgetDestroyedPage(this);
    controller = nullptr;
}

void Page::attachToController(PageController* newController, QString const& newName)
{
    controller = newController;
    name = newName;
}

void Page::detachFromController()
{
    controller = nullptr;
    name.clear();
}

bool Page::perform(PageAction action)
{
    // A page that left (or is leaving) takes nobody anywhere: a late reply, timer or answer of its
    // visit would otherwise switch away from the page on screen. Under Help the visit goes on.
    if (action != PageAction::back || !controller || !state.page || !m_visiting)
        return false;
    emit closeDialog(0);
    if (!state.show(false))
        return false;
    state.reset();
    return true;
}

void Page::pageWillAppear(QString const&)
{
    retranslate();
}

bool Page::pageShouldDisappear()
{
    return true;
}

void Page::pageWillDisappear(QString const&, std::function<void()> done)
{
    if (done)
        done();
}

void Page::pageDidAppear()
{
    if (!m_visiting)
        beginVisit(); // shown without a controller (a test driving the hooks itself)
    appeared = true;
    update();
}

void Page::pageDidDisappear()
{
    if (m_visiting)
        endVisit();
    appeared = false;
}

void Page::updateWithHeadset(Headset*, HeadsetChangeMask) { }

void Page::updateWithDongle(Dongle*, DongleChangeMask) { }

void Page::deviceFound(Dongle*, NPP const&) { }

void Page::headsetStatusChanged(Headset*, bool) { }

void Page::headsetChannelChanged(Headset*, int) { }

void Page::settingsChanged(Settings*) { }

void Page::letGoOfWindow()
{
    if (m_screen)
        m_screen->letGo();
}

void Page::setCovered(bool covered)
{
    if (covered == m_covered || (covered && !m_visiting))
        return;
    m_covered = covered;
    if (covered) {
        if (m_screen)
            m_screen->cover();
        return;
    }
    if (m_screen)
        m_screen->uncover();
    for (auto const& offer : std::exchange(m_waiting, {}))
        QMetaObject::invokeMethod(this, offer, Qt::QueuedConnection);
}

void Page::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

} // namespace OX
