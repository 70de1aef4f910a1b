#include "ui/toolkit/Page.h"

#include "ui/toolkit/PageController.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/StyledBackground.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>

#include <memory>
#include <utility>

namespace OX
{

namespace
{

// The boxes of a visit that ended close unanswered.
void closeAll(QList<QPointer<QMessageBox>>& open)
{
    const QList<QPointer<QMessageBox>> boxes = std::exchange(open, {});
    for (QPointer<QMessageBox> const& box : boxes)
        if (box)
            box->done(-1);
}

} // namespace

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
    for (QPointer<QMessageBox> const& box : m_boxes)
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

void Page::beginVisit()
{
    ++m_visit;
    m_visiting = true;
    closeAll(m_boxes);
}

void Page::endVisit()
{
    ++m_visit;
    m_visiting = false;
    closeAll(m_boxes);
}

QMessageBox* Page::makeBox(Question const& question)
{
    auto* box = new QMessageBox(nullptr);
    Skin::apply(box); // a box without a parent inherits no sheet
    box->setWindowFlags(Qt::WindowStaysOnTopHint);
    box->setIcon(question.icon);
    box->setWindowTitle(question.title);
    box->setText(question.text);
    box->setInformativeText(question.informative);
    for (int i = 0; i < question.buttons.size(); ++i) {
        QAbstractButton* button
            = box->addButton(question.buttons.at(i), i == 0 ? QMessageBox::YesRole : QMessageBox::NoRole);
        button->setProperty("questionIndex", i);
    }
    return box;
}

int Page::answerOf(QMessageBox* box)
{
    // A button Qt added itself (the OK of an empty list) carries no index: -1, as for no click.
    QAbstractButton* clicked = box ? box->clickedButton() : nullptr;
    const QVariant index = clicked ? clicked->property("questionIndex") : QVariant();
    return index.isValid() ? index.toInt() : -1;
}

bool Page::isAlive(Question const& question) const
{
    for (QPointer<QObject> const& object : question.about)
        if (!object)
            return false;
    return true;
}

void Page::ask(Question question, std::function<void(int)> answer)
{
    const quint64 asked = m_visit;
    QMetaObject::invokeMethod(
        this,
        [this, question = std::move(question), asked, answer = std::move(answer)]() {
            openQuestion(question, asked, answer);
        },
        Qt::QueuedConnection);
}

void Page::openQuestion(Question const& question, quint64 asked, std::function<void(int)> answer)
{
    if (asked != m_visit || !isAlive(question))
        return;
    QMessageBox* box = makeBox(question);
    box->setWindowModality(Qt::ApplicationModal);
    m_boxes << box;
    connect(this, &Page::closeDialog, box, [box]() { box->done(-1); });
    for (QPointer<QObject> const& object : question.about)
        connect(object.data(), &QObject::destroyed, box, [box]() { box->done(-1); });
    QPointer<Page> self(this);
    connect(box, &QDialog::finished, this, [self, box, question, asked, answer]() {
        const int index = answerOf(box);
        self->m_boxes.removeAll(box);
        box->deleteLater();
        if (!answer)
            return;
        // The answer runs from the event loop, not inside whatever closed the box.
        QMetaObject::invokeMethod(
            self.data(),
            [self, question, asked, answer, index]() {
                if (self && self->m_visit == asked && self->isAlive(question))
                    answer(index);
            },
            Qt::QueuedConnection);
    });
    box->show();
}

int Page::showQuestion(QString const& title, QString const& text, QStringList const& buttons)
{
    Question question;
    question.title = title;
    question.informative = text;
    question.buttons = buttons;
    return showQuestion(question);
}

int Page::showQuestion(Question const& question)
{
    std::unique_ptr<QMessageBox> box(makeBox(question));
    connect(this, &Page::closeDialog, box.get(), &QMessageBox::done);
    box->exec();
    return answerOf(box.get());
}

void Page::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

} // namespace OX
