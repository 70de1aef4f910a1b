#pragma once
// A page's container for tests, without a window: it records every call in order, keeps the
// header and footer state as the real bars do, and hands out whatever dongle, headset, LINK
// modules, settings and director a test injects (with a director alone, its dongle, headset
// and settings). It owns a real page controller, so pages can be registered and switched.
//
// RecordingPage is a stub page that writes its hooks into the same list, so that a test reads
// the container's calls and the pages' hooks as one sequence:
//   "setTitle(Main)", "setLeft(Back,3,Menu)", "setRight(,0,null,0)", "setNavigationEnable(0,255)",
//   "Status.pageWillAppear(Menu)", "Status.pageWillDisappear(Help)", "Status.pageDidAppear", ...
// (actions and indexes as numbers, pages by their registered name, "null" for none).
#include "app/OrvixDirector.h"
#include "device/Dongle.h"
#include "device/Headset.h"
#include "ui/toolkit/Page.h"
#include "ui/toolkit/PageController.h"
#include "ui/toolkit/Skin.h"

#include <QMap>
#include <QStringList>

#include <functional>

namespace testutil
{

class FakePageContainer : public OX::PageContainer
{
public:
    FakePageContainer()
        : controller(this)
    {
        controller.resize(400, 300);
        // The pages stand in a window of ours, skinned as the main window is.
        OX::Skin::apply(&controller);
    }
    ~FakePageContainer() override = default;

    static QString pageName(OX::Page* page)
    {
        if (!page)
            return QStringLiteral("null");
        return page->name.isEmpty() ? page->objectName() : page->name;
    }
    void record(QString const& call) { calls << call; }
    // The calls whose text starts with prefix, in order.
    QStringList callsStartingWith(QString const& prefix) const
    {
        QStringList out;
        for (QString const& c : calls)
            if (c.startsWith(prefix))
                out << c;
        return out;
    }

    // ---- header ----
    void setTitle(QString const& title) override
    {
        record(QStringLiteral("setTitle(%1)").arg(title));
        header.title = title;
    }
    void setSubtitle(QString const& subtitle) override
    {
        record(QStringLiteral("setSubtitle(%1)").arg(subtitle));
        header.subtitle = subtitle;
    }
    void setHeaderState(OX::PageHeader::State const& state) override
    {
        record(QStringLiteral("setHeaderState(%1,%2)").arg(state.title, state.subtitle));
        header = state;
    }
    OX::PageHeader::State const& getHeaderState() const override { return header; }

    // ---- footer (the footer's own rules: action none hides, button 0 clears button 1) ----
    void setLeft(QString const& text, OX::PageAction action, OX::Page* page) override
    {
        record(QStringLiteral("setLeft(%1,%2,%3)").arg(text).arg(int(action)).arg(pageName(page)));
        footer.left.text = text;
        footer.left.action = action;
        footer.left.page = page;
    }
    void setRight(QString const& text, OX::PageAction action, OX::Page* page,
        OX::PageFooter::ButtonIndex index) override
    {
        record(QStringLiteral("setRight(%1,%2,%3,%4)")
                   .arg(text)
                   .arg(int(action))
                   .arg(pageName(page))
                   .arg(int(index)));
        if (index == OX::PageFooter::AlternativeButton) {
            footer.alternativeRight.text = text;
            footer.alternativeRight.action = action;
            footer.alternativeRight.page = page;
        } else if (index == OX::PageFooter::MainButton) {
            footer.right.text = text;
            footer.right.action = action;
            footer.right.page = page;
            footer.alternativeRight.text.clear();
            footer.alternativeRight.action = OX::PageAction::none;
            footer.alternativeRight.page = nullptr;
        }
    }
    void setRightEnabled(OX::PageFooter::ButtonIndex index, bool enabled) override
    {
        record(QStringLiteral("setRightEnabled(%1,%2)").arg(int(index)).arg(int(enabled)));
        footer.setRightEnabled(index, enabled);
        if (index == OX::PageFooter::MainButton)
            rightEnabled[0] = enabled;
        else if (index == OX::PageFooter::AlternativeButton)
            rightEnabled[1] = enabled;
    }
    void setProgress(bool on) override
    {
        record(QStringLiteral("setProgress(%1)").arg(int(on)));
        busy = on;
        rightEnabled[0] = rightEnabled[1] = !on;
        applyNavigation(!on, OX::NavigationOptions::all);
    }
    void setFooterState(OX::PageFooter::State const& state) override
    {
        record(QStringLiteral("setFooterState(%1,%2,%3)")
                   .arg(state.left.text, state.right.text, state.alternativeRight.text));
        footer = state;
        rightEnabled[0] = state.right.enabled;
        rightEnabled[1] = state.alternativeRight.enabled;
    }
    OX::PageFooter::State const& getFooterState() const override { return footer; }
    void setNavigationEnable(bool enable, OX::NavigationOptions options) override
    {
        record(QStringLiteral("setNavigationEnable(%1,%2)").arg(int(enable)).arg(int(options.value())));
        applyNavigation(enable, options);
    }

    // ---- devices (injected; with a director alone, the director's) ----
    Dongle* getDongle() override { return dongle ? dongle : (director ? director->dongle() : nullptr); }
    Headset* getHeadset() override
    {
        if (headset)
            return headset;
        Dongle* d = getDongle();
        return d ? d->headset() : nullptr;
    }
    Link* getLink(OrvixDevice::Preset preset) override
    {
        if (links.contains(preset))
            return links.value(preset);
        Dongle* d = getDongle();
        return d ? d->links().value(preset, nullptr) : nullptr;
    }
    Settings* getSettings() override
    {
        return settings ? settings : (director ? director->settings() : nullptr);
    }
    OrvixDirector* getDirector() override { return director; }

    // Records the action; hands anything the window would not handle itself (everything but
    // hide, quit, reset, home and help) to the page, as the main window does.
    void perform(OX::PageAction action, OX::Page* page) override
    {
        record(QStringLiteral("perform(%1,%2)").arg(int(action)).arg(pageName(page)));
        switch (action) {
        case OX::PageAction::hide:
        case OX::PageAction::quit:
        case OX::PageAction::home:
        case OX::PageAction::help:
            return;
        case OX::PageAction::reset:
            controller.perform(action);
            return;
        default:
            if (page)
                page->perform(action);
        }
    }
    void moveContainer(QPoint offset) override
    {
        record(QStringLiteral("moveContainer(%1,%2)").arg(offset.x()).arg(offset.y()));
        moved += offset;
    }

    // A person's click on a footer button, as the footer would hand it over.
    void clickLeft() { perform(footer.left.action, footer.left.page); }
    void clickRight(int index = 0)
    {
        OX::PageFooter::ButtonState const& b = index == 0 ? footer.right : footer.alternativeRight;
        perform(b.action, b.page);
    }
    bool navigationEnabled(quint8 bits) const { return (navigation & bits) == bits; }

    QStringList calls;
    OX::PageHeader::State header;
    OX::PageFooter::State footer;
    bool rightEnabled[2] = { true, true };
    bool busy = false;
    quint8 navigation = OX::NavigationOptions::all; // the enabled buttons
    QPoint moved;

    Dongle* dongle = nullptr;
    Headset* headset = nullptr;
    QMap<OrvixDevice::Preset, Link*> links;
    Settings* settings = nullptr;
    OrvixDirector* director = nullptr;

    OX::PageController controller;

private:
    void applyNavigation(bool enable, OX::NavigationOptions options)
    {
        if (enable)
            navigation |= options.value();
        else
            navigation &= quint8(~options.value());
    }
};

// A stub page that records its hooks into its container's calls as "<tag>.<hook>(<argument>)".
// holdDone keeps the done of pageWillDisappear for the test to call (releaseDone); refuseToLeave
// answers false to pageShouldDisappear.
class RecordingPage : public OX::Page
{
public:
    RecordingPage(FakePageContainer* container, QString const& tag, QWidget* parent = nullptr)
        : OX::Page(container, parent)
        , fake(container)
        , tag(tag)
    {
        setObjectName(tag);
    }

    bool perform(OX::PageAction action) override
    {
        log(QStringLiteral("perform(%1)").arg(int(action)));
        return OX::Page::perform(action);
    }
    void retranslate() override { log(QStringLiteral("retranslate")); }
    void pageWillAppear(QString const& from) override
    {
        log(QStringLiteral("pageWillAppear(%1)").arg(from));
        if (onWillAppear)
            onWillAppear();
    }
    bool pageShouldDisappear() override
    {
        log(QStringLiteral("pageShouldDisappear"));
        return !refuseToLeave;
    }
    void pageWillDisappear(QString const& to, std::function<void()> done) override
    {
        log(QStringLiteral("pageWillDisappear(%1)").arg(to));
        if (holdDone)
            heldDone = done;
        else
            done();
    }
    void pageDidAppear() override
    {
        log(QStringLiteral("pageDidAppear"));
        OX::Page::pageDidAppear();
    }
    void pageDidDisappear() override
    {
        log(QStringLiteral("pageDidDisappear"));
        OX::Page::pageDidDisappear();
    }
    void updateWithHeadset(Headset*, HeadsetChangeMask mask) override
    {
        log(QStringLiteral("updateWithHeadset(%1)").arg(mask.value(), 0, 16));
    }
    void updateWithDongle(Dongle*, DongleChangeMask mask) override
    {
        log(QStringLiteral("updateWithDongle(%1)").arg(mask.value(), 0, 16));
    }
    void deviceFound(Dongle*, NPP const&) override { log(QStringLiteral("deviceFound")); }
    void headsetStatusChanged(Headset*, bool active) override
    {
        log(QStringLiteral("headsetStatusChanged(%1)").arg(int(active)));
    }
    void headsetChannelChanged(Headset*, int channel) override
    {
        log(QStringLiteral("headsetChannelChanged(%1)").arg(channel));
    }
    void settingsChanged(Settings*) override { log(QStringLiteral("settingsChanged")); }

    void releaseDone()
    {
        auto done = std::move(heldDone);
        heldDone = nullptr;
        if (done)
            done();
    }

    FakePageContainer* fake;
    QString tag;
    bool holdDone = false;
    bool refuseToLeave = false;
    std::function<void()> heldDone;
    std::function<void()> onWillAppear; // runs inside pageWillAppear (to change the header, say)

private:
    void log(QString const& what) { fake->record(tag + QLatin1Char('.') + what); }
};

} // namespace testutil
