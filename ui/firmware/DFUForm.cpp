#include "ui/firmware/DFUForm.h"

#include "ui/firmware/DFUFormDelegate.h"

#include <QEvent>
#include <QTextDocument>

namespace OX
{

DFUForm::DFUForm(DFUFormDelegate& delegate, QWidget* parent)
    : QWidget(parent)
    , delegate(delegate)
{
    connect(this, &DFUForm::showError, this, &DFUForm::onShowError);
}

void DFUForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateForm();
    QWidget::changeEvent(event);
}

void DFUForm::pageWillAppear()
{
    retranslate();
}

bool DFUForm::pageShouldDisappear()
{
    return true;
}

void DFUForm::pageWillDisappear(std::function<void()> done)
{
    done();
}

void DFUForm::pageDidAppear()
{
    update();
}

void DFUForm::pageDidDisappear() { }

void DFUForm::prepareForNavigation(NavigationDirection, std::function<void()> done)
{
    done();
}

void DFUForm::pageAbandoned() { }

quint64 DFUForm::visit() const
{
    return delegate.pageVisit();
}

bool DFUForm::isVisit(quint64 visit) const
{
    return delegate.isStepVisit(this, visit);
}

void DFUForm::onShowError(const QString& title, const QString& message)
{
    Page::Question question;
    question.icon = Page::Icon::Warning;
    question.title = title;
    // Plain text, also where it names a file ("<b>fw.enc" is no markup); a box takes any text
    // that starts with a tag for rich text.
    question.text = Qt::convertFromPlainText(message, Qt::WhiteSpaceNormal);
    delegate.ask(question, {});
}

} // namespace OX
