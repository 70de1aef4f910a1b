#include "ui/toolkit/Page.h"

#include "ui/toolkit/PageController.h"
#include "ui/toolkit/StyledBackground.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace OX
{

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
    if (page->container) {
        page->container->setHeaderState(header);
        page->container->setFooterState(footer);
    }
    return target->showPage(name, inverse(transition), duration, record);
}

Page::Page(PageContainer* container, QWidget* parent)
    : QWidget(parent)
    , container(container)
{
}

Page::~Page()
{
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
    if (action != PageAction::back || !controller || !state.page)
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
    appeared = true;
    update();
}

void Page::pageDidDisappear()
{
    appeared = false;
}

void Page::updateWithHeadset(Headset*, HeadsetChangeMask) { }

void Page::updateWithDongle(Dongle*, DongleChangeMask) { }

void Page::deviceFound(Dongle*, NPP const&) { }

void Page::headsetStatusChanged(Headset*, bool) { }

void Page::headsetChannelChanged(Headset*, int) { }

void Page::settingsChanged(Settings*) { }

int Page::showQuestion(QString const& title, QString const& text, QStringList const& buttons)
{
    QMessageBox box(nullptr);
    box.setWindowFlags(Qt::WindowStaysOnTopHint);
    box.setWindowTitle(title);
    box.setInformativeText(text);
    box.setIcon(QMessageBox::Question);
    connect(this, &Page::closeDialog, &box, &QMessageBox::done);
    QList<QAbstractButton*> added;
    for (int i = 0; i < buttons.size(); ++i)
        added << box.addButton(buttons.at(i), i == 0 ? QMessageBox::YesRole : QMessageBox::NoRole);
    box.exec();
    // A button Qt added itself (the OK of an empty list) is not in the list: -1, as for no click.
    return added.indexOf(box.clickedButton());
}

void Page::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

} // namespace OX
