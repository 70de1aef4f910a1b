#include "ui/toolkit/Page.h"

#include "ui/toolkit/PageController.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/StyledBackground.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>

#include <memory>
#include <utility>

namespace OX
{

namespace
{

// The boxes of a visit that ended close unanswered; one not opened yet is dropped when its turn
// comes.
void closeAll(QList<QPointer<QDialog>> const& open)
{
    const QList<QPointer<QDialog>> boxes = open; // each one closed leaves the list
    for (QPointer<QDialog> const& box : boxes)
        if (box && box->isVisible())
            box->done(-1);
}

bool isAlive(Page::About const& about)
{
    for (QPointer<QObject> const& object : about)
        if (!object)
            return false;
    return true;
}

QMessageBox::Icon boxIcon(Page::Icon icon)
{
    switch (icon) {
    case Page::Icon::Information:
        return QMessageBox::Information;
    case Page::Icon::Warning:
        return QMessageBox::Warning;
    case Page::Icon::Critical:
        return QMessageBox::Critical;
    case Page::Icon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
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
    if (!m_visiting)
        return;
    // An answer still on its way (a box the back action closed just before the leave began, or a
    // click not yet delivered) reaches the page inside the visit; a box still open closes unanswered.
    for (auto const& pending : std::exchange(m_answers, {}))
        if (auto answer = std::exchange(*pending, nullptr))
            answer();
    ++m_visit;
    m_visiting = false;
    closeAll(m_boxes);
}

QMessageBox* Page::makeBox(Question const& question)
{
    auto* box = new QMessageBox(nullptr);
    Skin::apply(box); // a box without a parent inherits no sheet
    box->setWindowFlags(Qt::WindowStaysOnTopHint);
    box->setIcon(boxIcon(question.icon));
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

void Page::ask(Question question, std::function<void(int)> answer)
{
    // The box is a dialog like any other: open() shows it from the event loop in this visit.
    QMessageBox* box = makeBox(question);
    std::function<void(int)> index;
    if (answer)
        index = [box, answer = std::move(answer)](int) { answer(answerOf(box)); };
    open(box, std::move(question.about), std::move(index));
}

void Page::open(QDialog* dialog, About about, std::function<void(int)> answer)
{
    if (!dialog)
        return;
    const quint64 asked = m_visit;
    m_boxes << dialog; // a page gone first takes it along
    QPointer<QDialog> held(dialog);
    QMetaObject::invokeMethod(
        this,
        [this, held, about = std::move(about), asked, answer = std::move(answer)]() {
            if (!held)
                return;
            if (asked != m_visit || !isAlive(about)) {
                m_boxes.removeAll(held);
                delete held.data();
                return;
            }
            showDialog(held, about, asked, answer);
        },
        Qt::QueuedConnection);
}

void Page::showDialog(QDialog* dialog, About const& about, quint64 asked, std::function<void(int)> answer)
{
    dialog->setWindowModality(Qt::ApplicationModal);
    if (!m_boxes.contains(dialog))
        m_boxes << dialog;
    connect(this, &Page::closeDialog, dialog, [dialog]() { dialog->done(-1); });
    for (QPointer<QObject> const& object : about)
        connect(object.data(), &QObject::destroyed, dialog, [dialog]() { dialog->done(-1); });
    QPointer<Page> self(this);
    auto finished = std::make_shared<QMetaObject::Connection>();
    *finished = connect(
        dialog, &QDialog::finished, dialog, [self, dialog, about, asked, answer, finished](int result) {
            QObject::disconnect(*finished); // a dialog closed twice answers once
            if (!self)
                return dialog->deleteLater();
            self->m_boxes.removeAll(dialog);
            // The answer runs from the event loop, not inside whatever closed the dialog, which
            // lives until then, or earlier when the visit ends first.
            auto pending = std::make_shared<std::function<void()>>([self, about, asked, answer, result]() {
                if (answer && self && self->m_visit == asked && isAlive(about))
                    answer(result);
            });
            self->m_answers << pending;
            QMetaObject::invokeMethod(
                dialog,
                [self, dialog, pending]() {
                    if (self)
                        self->m_answers.removeAll(pending);
                    if (auto answer = std::exchange(*pending, nullptr))
                        answer();
                    dialog->deleteLater();
                },
                Qt::QueuedConnection);
        });
    dialog->show();
}

bool Page::askBeforeLeaving(Question question, std::function<bool(int)> leaves)
{
    if (m_leaveAnswered)
        return true;
    QPointer<Page> self(this);
    ask(std::move(question), [self, leaves](int answer) {
        if (!self || !leaves || !leaves(answer))
            return;
        self->m_leaveAnswered = true;
        self->perform(PageAction::back);
        if (self)
            self->m_leaveAnswered = false;
    });
    return false;
}

int Page::showQuestion(QString const& title, QString const& text, QStringList const& buttons)
{
    Question question;
    question.title = title;
    question.informative = text;
    question.buttons = buttons;
    return showQuestion(question, this);
}

int Page::showQuestion(Question const& question, Page* page)
{
    std::unique_ptr<QMessageBox> box(makeBox(question));
    if (page)
        connect(page, &Page::closeDialog, box.get(), &QMessageBox::done);
    box->exec();
    return answerOf(box.get());
}

void Page::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

} // namespace OX
