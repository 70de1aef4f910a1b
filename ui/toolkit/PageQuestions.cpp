// The boxes of a page: visits, the questions and dialogs asked in them, and the application's own.
#include "ui/toolkit/Page.h"

#include "ui/toolkit/Skin.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>

#include <memory>
#include <utility>

namespace OX
{

namespace
{

// Marks a box of ask() that only tells something: no answer is awaited.
const char* const TellsOnly = "orvixTellsOnly";

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

// A question box refuses to close without an escape button (one of three or more answers, say),
// except at the end of the desktop session, which it would otherwise cancel: it closes
// unanswered then, as when its page closes it.
class QuestionBox : public QMessageBox
{
protected:
    void closeEvent(QCloseEvent* event) override
    {
        QMessageBox::closeEvent(event);
        if (!event->isAccepted() && qGuiApp && qGuiApp->isSavingSession()) {
            done(-1);
            event->accept();
        }
    }
};

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

void Page::beginVisit()
{
    ++m_visit;
    m_visiting = true;
    m_covered = false;
    closeAll(m_boxes);
    dropWaiting();
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
    m_covered = false;
    appeared = false; // off screen for every check from here on
    closeAll(m_boxes);
    dropWaiting();
    letGoOfWindow();
}

void Page::dropWaiting()
{
    // Each one finds its visit gone and deletes its box.
    for (auto const& offer : std::exchange(m_waiting, {}))
        offer();
}

QMessageBox* Page::makeBox(Question const& question)
{
    auto* box = new QuestionBox;
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
    if (!m_visiting)
        return; // see open
    // The box is a dialog like any other: open() shows it from the event loop in this visit.
    QMessageBox* box = makeBox(question);
    box->setProperty(TellsOnly, !answer);
    open(box, std::move(question.about), indexAnswer(box, std::move(answer)));
}

std::function<void(int)> Page::indexAnswer(QMessageBox* box, std::function<void(int)> answer)
{
    if (!answer)
        return {};
    return [box, answer = std::move(answer)](int) { answer(answerOf(box)); };
}

void Page::open(QDialog* dialog, About about, std::function<void(int)> answer)
{
    if (!dialog)
        return;
    if (!m_visiting) {
        // Asked by a page that left or is leaving: nothing opens over the next page but a last
        // word (askOnLeaving).
        delete dialog;
        return;
    }
    queueDialog(dialog, std::move(about), std::move(answer));
}

void Page::askOnLeaving(Question question, std::function<void(int)> answer)
{
    if (m_visiting) {
        ask(std::move(question), std::move(answer));
        return;
    }
    QMessageBox* box = makeBox(question);
    queueDialog(box, std::move(question.about), indexAnswer(box, std::move(answer)));
}

void Page::queueDialog(QDialog* dialog, About about, std::function<void(int)> answer)
{
    const quint64 asked = m_visit;
    m_boxes << dialog; // a page gone first takes it along
    QPointer<QDialog> held(dialog);
    QMetaObject::invokeMethod(
        this,
        [this, held, about = std::move(about), asked, answer = std::move(answer)]() {
            offerDialog(held, about, asked, answer);
        },
        Qt::QueuedConnection);
}

void Page::offerDialog(
    QPointer<QDialog> dialog, About const& about, quint64 asked, std::function<void(int)> answer)
{
    if (!dialog)
        return;
    if (asked != m_visit || !isAlive(about)) {
        m_boxes.removeAll(dialog);
        if (isAlive(about) && dialog->property(TellsOnly).toBool()) {
            // What the page told in its visit (under Help, say, left for the menu by Home) is still
            // told once, over whatever is on screen now, as the application's own messages are.
            offerApplication(dialog, about, {});
            return;
        }
        delete dialog.data();
        return;
    }
    if (m_covered) {
        // Help is over the page: the box opens when the page is back on screen.
        m_waiting << [this, dialog, about, asked, answer]() { offerDialog(dialog, about, asked, answer); };
        return;
    }
    showDialog(dialog, about, asked, answer);
}

void Page::showDialog(QDialog* dialog, About const& about, quint64 asked, std::function<void(int)> answer)
{
    if (!m_boxes.contains(dialog))
        m_boxes << dialog;
    connect(this, &Page::closeDialog, dialog, [dialog]() { dialog->done(-1); });
    QPointer<Page> self(this);
    showBox(dialog, about, [self, dialog, about, asked, answer](int result) {
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
}

void Page::showBox(QDialog* dialog, About const& about, std::function<void(int)> finished)
{
    dialog->setWindowModality(Qt::ApplicationModal);
    for (QPointer<QObject> const& object : about)
        connect(object.data(), &QObject::destroyed, dialog, [dialog]() { dialog->done(-1); });
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(dialog, &QDialog::finished, dialog, [connection, finished](int result) {
        QObject::disconnect(*connection); // a dialog closed twice answers once
        finished(result);
    });
    dialog->show();
}

void Page::askApplication(Question question, std::function<void(int)> answer)
{
    QMessageBox* box = makeBox(question);
    offerApplication(box, std::move(question.about), indexAnswer(box, std::move(answer)));
}

void Page::offerApplication(QDialog* box, About about, std::function<void(int)> answer)
{
    QPointer<QDialog> held(box);
    QMetaObject::invokeMethod(
        box,
        [held, about = std::move(about), answer = std::move(answer)]() {
            if (!isAlive(about)) {
                delete held.data();
                return;
            }
            QDialog* dialog = held.data();
            showBox(dialog, about, [dialog, about, answer](int result) {
                QMetaObject::invokeMethod(
                    dialog,
                    [dialog, about, answer, result]() {
                        if (answer && isAlive(about))
                            answer(result);
                        dialog->deleteLater();
                    },
                    Qt::QueuedConnection);
            });
        },
        Qt::QueuedConnection);
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

} // namespace OX
