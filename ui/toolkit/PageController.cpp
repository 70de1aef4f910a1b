#include "ui/toolkit/PageController.h"

#include <QDebug>
#include <QEasingCurve>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace OX
{

namespace
{

// Wraps f so that only its first call runs: a page that calls done twice switches once.
std::function<void()> once(std::function<void()> f)
{
    auto called = std::make_shared<bool>(false);
    return [called, f]() {
        if (*called)
            return;
        *called = true;
        f();
    };
}

} // namespace

PageController::PageController(PageContainer* container)
    : Page(container, nullptr)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setSizeConstraint(QLayout::SetMaximumSize);
    m_layout->setContentsMargins(0, 0, 0, 0);
    connect(this, &PageController::navigateToPage, this, &PageController::onShowPage);
}

PageController::~PageController()
{
    if (m_animation) {
        m_animation->disconnect(this);
        delete m_animation;
    }
    const QMap<QString, Page*> pages = m_pages;
    m_pages.clear();
    for (Page* page : pages)
        page->detachFromController();
}

bool PageController::addPage(Page* page, QString const& name)
{
    if (!page || m_pages.contains(name) || m_builders.contains(name))
        return false;
    page->hide();
    page->attachToController(this, name);
    m_pages.insert(name, page);
    return true;
}

bool PageController::addPage(QString const& name, std::function<Page*()> build)
{
    if (!build || m_pages.contains(name) || m_builders.contains(name))
        return false;
    m_builders.insert(name, std::move(build));
    return true;
}

Page* PageController::page(QString const& name)
{
    const auto builder = m_builders.find(name);
    if (builder != m_builders.end()) {
        const std::function<Page*()> build = std::move(builder.value());
        m_builders.erase(builder);
        addPage(build(), name);
    }
    return find(name);
}

void PageController::removePage(QString const& name, bool del)
{
    m_builders.remove(name);
    removeEntry(name, del);
}

void PageController::removePage(Page* page, bool del)
{
    removeEntry(m_pages.key(page), del);
}

void PageController::removeEntry(QString const& name, bool del)
{
    auto it = m_pages.find(name);
    if (it == m_pages.end())
        return;
    Page* page = it.value();
    // The page under Help is in its visit too: Help's way back leads to it.
    if (page == m_currentPage || page == m_nextPage || page->isVisit(page->visit())) {
        qWarning().noquote() << QStringLiteral("Page [%1] is on screen and stays registered").arg(name);
        return;
    }
    m_pages.erase(it);
    page->detachFromController();
    if (del)
        delete page;
}

void PageController::forgetDestroyedPage(Page* page)
{
    for (auto it = m_pages.begin(); it != m_pages.end();) {
        if (it.value() == page)
            it = m_pages.erase(it);
        else
            ++it;
    }
    if (page == m_currentPage || page == m_nextPage) {
        // The switch cannot finish with one of its pages gone; the navigation its slide turned
        // off comes back.
        if (m_animation) {
            m_animation->disconnect(this);
            m_animation->stop();
            m_animation->deleteLater();
            if (container)
                container->setNavigationEnable(true, NavigationOptions::all);
        }
        m_animation = nullptr;
        m_layout->setEnabled(true);
        if (page == m_currentPage)
            m_currentPage = m_nextPage;
        m_nextPage = nullptr;
    }
}

void PageController::setInitialPage(QString const& name)
{
    Page* page = this->page(name);
    if (!page)
        return;
    m_nextPage = nullptr;
    m_currentPage = page;
    page->beginVisit();
    page->pageWillAppear(QString());
    m_layout->addWidget(page);
    page->show();
    page->pageDidAppear();
}

bool PageController::isRegistered(Page* page) const
{
    for (Page* p : m_pages)
        if (p == page)
            return true;
    return false;
}

QString PageController::currentPageName() const
{
    if (!m_currentPage)
        return QString();
    return m_pages.key(m_currentPage);
}

bool PageController::canSwitchTo(QString const& name) const
{
    return !m_refusing && name != currentPageName() && (m_pages.contains(name) || m_builders.contains(name))
        && m_currentPage && !isSwitching();
}

bool PageController::shouldShowPage(QString const& name)
{
    return canSwitchTo(name) && m_currentPage->pageShouldDisappear();
}

bool PageController::showPage(QString const& name, int transition, int duration, bool record)
{
    if (!canSwitchTo(name))
        return false;

    Page* incoming = page(name);
    if (!incoming)
        return false; // its builder made none
    QPointer<Page> old = m_currentPage.data();
    const QString oldName = currentPageName();
    m_nextPage = incoming;
    qDebug().noquote() << QStringLiteral("Show Page [%1]").arg(name);

    const bool fromHelp = oldName == QLatin1String(HelpPageName);
    // Help comes over the page left, unnoticed, only when its way back leads to that page (opened
    // with a slide and recorded). Reached otherwise, by going back to Help from a page opened from
    // it for instance, nothing would ever bring that page back: it is told it went like any page.
    const bool toHelp = name == QLatin1String(HelpPageName) && record && transition != NoTransition;
    // Help is left unnoticed only towards the page it covers; any other page is told it appears,
    // and the page under Help is told it went. Help keeps its way back until it is used: reached
    // again from a page opened from it, Back still leads to the page Help was opened from, which
    // then appears as any page.
    Page* const helpWayBack = fromHelp ? old->state.page.data() : nullptr;
    const bool returningFromHelp = helpWayBack && helpWayBack == incoming && incoming->isCovered();
    QPointer<Page> underHelp
        = helpWayBack && !returningFromHelp && helpWayBack->isCovered() ? helpWayBack : nullptr;
    if (underHelp && (underHelp == incoming || !isRegistered(underHelp)))
        underHelp = nullptr;
    // From here the page under Help writes its header and footer aside, and Help its own.
    if (toHelp && old)
        old->setCovered(true);

    QPointer<PageController> self(this);
    QPointer<Page> in(incoming);
    // Tells the page being left, then the page under Help, and goes on once both are done.
    auto leave = [old, underHelp, toHelp, name](std::function<void()> then) {
        auto afterUnder = once([underHelp, name, then]() {
            if (underHelp) {
                underHelp->endVisit();
                underHelp->pageWillDisappear(name, then);
            } else {
                then();
            }
        });
        if (toHelp || !old) {
            afterUnder();
        } else {
            old->endVisit(); // the footer is the next page's from here on
            old->pageWillDisappear(name, afterUnder);
        }
    };

    if (transition == NoTransition) {
        auto swap = once([self, old, in, underHelp, toHelp, fromHelp, returningFromHelp, oldName]() {
            if (!self || !in)
                return;
            self->takeOut(old, underHelp, toHelp);
            if (!self->bringOn(in, returningFromHelp))
                return;
            if (!returningFromHelp)
                in->pageWillAppear(oldName);
            self->m_layout->addWidget(in);
            in->show();
            if (!returningFromHelp)
                in->pageDidAppear();
            if (returningFromHelp && old)
                old->state.reset(); // Help's way back is used up
            self->m_currentPage = in.data();
            self->m_nextPage = nullptr;
            self->update();
            qDebug().noquote() << QStringLiteral("Page shown [%1]").arg(self->currentPageName());
        });
        leave(swap);
        return true;
    }

    const int w = width();
    const int h = height();
    const QMargins margins = m_layout->contentsMargins();
    const QPoint rest(margins.left(), margins.top());
    const QSize size(w - margins.left() - margins.right(), h - margins.top() - margins.bottom());
    QPoint outEnd(0, 0);
    QPoint inStart(0, 0);
    switch (transition) {
    case FromRight:
        outEnd = QPoint(-w, rest.y());
        inStart = QPoint(w, rest.y());
        break;
    case FromLeft:
        outEnd = QPoint(w, rest.y());
        inStart = QPoint(-w, rest.y());
        break;
    case FromBottom:
        outEnd = QPoint(rest.x(), -h);
        inStart = QPoint(rest.x(), h);
        break;
    case FromTop:
        outEnd = QPoint(rest.x(), h);
        inStart = QPoint(rest.x(), -h);
        break;
    default:
        break; // runs its time without visible movement
    }

    const int slideMs = m_slideOverrideMs >= 0 ? m_slideOverrideMs : duration;
    auto* group = new QParallelAnimationGroup(this);
    auto* outAnimation = new QPropertyAnimation(old, "pos", group);
    outAnimation->setDuration(slideMs);
    outAnimation->setEasingCurve(QEasingCurve::OutCubic);
    outAnimation->setStartValue(rest);
    outAnimation->setEndValue(transition > FromTop ? QPoint(0, 0) : outEnd);
    auto* inAnimation = new QPropertyAnimation(incoming, "pos", group);
    inAnimation->setDuration(slideMs);
    inAnimation->setEasingCurve(QEasingCurve::OutCubic);
    inAnimation->setStartValue(transition > FromTop ? QPoint(0, 0) : inStart);
    inAnimation->setEndValue(transition > FromTop ? QPoint(0, 0) : rest);
    m_animation = group;

    m_layout->setEnabled(false);
    // The page Help covered keeps its own way back: recording Help there would send it back to
    // Help and Help back to it, with the way out lost.
    if (record && !returningFromHelp) {
        State back;
        back.page = old;
        back.name = oldName;
        back.helpKey = old->helpKey;
        back.transition = transition;
        back.duration = duration;
        if (container) {
            back.header = container->getHeaderState();
            back.footer = container->getFooterState();
        }
        incoming->state = back;
    }
    // The pages leaving let go of the window before the incoming page sets its own footer: an
    // answer still on its way to them lands first, and a busy footer they set is given back first.
    if (!toHelp)
        old->endVisit();
    if (underHelp)
        underHelp->endVisit();
    if (!bringOn(in, returningFromHelp))
        return true;
    if (!returningFromHelp)
        incoming->pageWillAppear(oldName);
    if (container)
        container->setNavigationEnable(false, NavigationOptions::all);
    m_layout->addWidget(incoming);
    incoming->move(inAnimation->startValue().toPoint());
    incoming->resize(size);
    incoming->show();
    connect(
        group, &QAbstractAnimation::finished, this,
        [this, fromHelp, toHelp, returningFromHelp, old, underHelp]() {
            finishSwitch(fromHelp, returningFromHelp, toHelp, old, underHelp);
        },
        Qt::DirectConnection);

    // A done that comes after the switch was cut short starts nothing.
    QPointer<QParallelAnimationGroup> guard(group);
    leave([self, guard]() {
        if (self && guard && self->m_animation == guard)
            guard->start();
    });
    return true;
}

bool PageController::bringOn(QPointer<Page> const& incoming, bool returningFromHelp)
{
    // Back from Help, the page shows its own header and footer again, as it last set them.
    if (returningFromHelp)
        incoming->setCovered(false);
    else
        incoming->beginVisit();
    QPointer<PageController> self(this);
    emit pageWillAppearSignal(incoming);
    return self && incoming;
}

void PageController::finishSwitch(
    bool fromHelp, bool returningFromHelp, bool toHelp, QPointer<Page> old, QPointer<Page> underHelp)
{
    if (QWidget* top = window())
        top->activateWindow();
    if (container)
        container->setNavigationEnable(true, NavigationOptions::all);
    QPointer<Page> in = m_nextPage;
    if (in && !returningFromHelp)
        in->pageDidAppear();
    takeOut(old, underHelp, toHelp);
    if (returningFromHelp && old)
        old->state.reset(); // Help's way back is used up
    m_layout->setEnabled(true);
    if (in)
        m_currentPage = in.data();
    m_nextPage = nullptr;
    if (m_animation)
        m_animation->deleteLater();
    m_animation = nullptr;
    update();
    qDebug().noquote() << QStringLiteral("Page shown [%1]").arg(currentPageName());
}

void PageController::takeOut(QPointer<Page> const& old, QPointer<Page> const& underHelp, bool toHelp)
{
    if (old) {
        old->hide();
        m_layout->removeWidget(old);
        if (!toHelp) {
            old->endVisit();
            old->pageDidDisappear();
        }
    }
    if (underHelp) {
        underHelp->endVisit();
        underHelp->pageDidDisappear();
    }
}

void PageController::onShowPage(QString const& name)
{
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, timer, name]() {
        showPage(name, FromRight, NavigateDurationMs, true);
        timer->deleteLater();
    });
    timer->start(NavigateDelayMs);
}

bool PageController::perform(PageAction action)
{
    return m_currentPage ? m_currentPage->perform(action) : false;
}

template <typename F> void PageController::forward(F call, bool loss)
{
    QPointer<Page> next = m_nextPage;
    QPointer<Page> current = m_currentPage;
    QPointer<Page> underHelp
        = loss && current && current->name == QLatin1String(HelpPageName) ? current->state.page : nullptr;
    if (underHelp && !underHelp->isCovered())
        underHelp = nullptr; // Help's way back leads to a page that went meanwhile
    if (next)
        call(next.data());
    if (current)
        call(current.data());
    if (underHelp && underHelp != next && isRegistered(underHelp))
        call(underHelp.data());
}

void PageController::retranslate()
{
    forward([](Page* p) { p->retranslate(); });
}

void PageController::updateWithHeadset(Headset* headset, HeadsetChangeMask mask)
{
    forward([&](Page* p) { p->updateWithHeadset(headset, mask); },
        !headset || mask.testFlag(HeadsetChangeMask::lost));
}

void PageController::updateWithDongle(Dongle* dongle, DongleChangeMask mask)
{
    forward([&](Page* p) { p->updateWithDongle(dongle, mask); }, !dongle);
}

void PageController::deviceFound(Dongle* dongle, NPP const& npp)
{
    forward([&](Page* p) { p->deviceFound(dongle, npp); });
}

void PageController::headsetStatusChanged(Headset* headset, bool active)
{
    forward([&](Page* p) { p->headsetStatusChanged(headset, active); });
}

void PageController::headsetChannelChanged(Headset* headset, int channel)
{
    forward([&](Page* p) { p->headsetChannelChanged(headset, channel); });
}

void PageController::settingsChanged(Settings* settings)
{
    forward([&](Page* p) { p->settingsChanged(settings); });
}

} // namespace OX
