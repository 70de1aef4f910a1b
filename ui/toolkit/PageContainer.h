#pragma once
// What a page reaches of the window that hosts it: the header and footer, the dongle, its
// headset and LINK modules, the settings and the director. A page asks at the moment of use and
// tests for null: every getter returns null before a director is attached, and the device getters
// also while no dongle is connected. The main window is the only implementation; tests give
// pages a recording fake.
#include "protocol/ChannelMap.h"
#include "ui/toolkit/NavigationOptions.h"
#include "ui/toolkit/PageAction.h"
#include "ui/toolkit/PageFooter.h"
#include "ui/toolkit/PageHeader.h"

#include <QPoint>
#include <QString>

class Dongle;
class Headset;
class Link;
class OrvixDirector;
class Settings;

namespace OX
{

class Page;

class PageContainer
{
public:
    virtual ~PageContainer() = default;

    virtual void setTitle(QString const& title) = 0;
    virtual void setSubtitle(QString const& subtitle) = 0;
    // Shows the snapshot's title and subtitle.
    virtual void setHeaderState(PageHeader::State const& state) = 0;
    virtual PageHeader::State const& getHeaderState() const = 0;

    // The left footer button; action none hides it (text and page are kept all the same).
    virtual void setLeft(QString const& text, PageAction action, Page* page) = 0;
    // Right button 0 or 1; action none hides it. Setting button 0 also clears and hides button 1,
    // so a page that wants both sets 0 first.
    virtual void setRight(QString const& text, PageAction action, Page* page, PageFooter::ButtonIndex index)
        = 0;
    virtual void setRightEnabled(PageFooter::ButtonIndex index, bool enabled) = 0;
    // Busy (true): both right buttons off, the wheel spins and all navigation is disabled; not
    // busy enables them all again.
    virtual void setProgress(bool busy) = 0;
    virtual void setFooterState(PageFooter::State const& state) = 0;
    virtual PageFooter::State const& getFooterState() const = 0;
    virtual void setNavigationEnable(bool enable, NavigationOptions options) = 0;

    virtual Dongle* getDongle() = 0;
    virtual Headset* getHeadset() = 0;
    virtual Link* getLink(OrvixDevice::Preset preset) = 0;
    // The settings, which are also the mouse profile manager.
    virtual Settings* getSettings() = 0;
    virtual OrvixDirector* getDirector() = 0;

    // Carries out a button's action for the page that set the button (null: none).
    virtual void perform(PageAction action, Page* page) = 0;
    // Moves the window by offset (the header's drag).
    virtual void moveContainer(QPoint offset) = 0;
};

} // namespace OX
