#include "ui/firmware/DFUFailedForm.h"

#include "ui_DFUFailedForm.h"

#include "ui/firmware/DFUFormDelegate.h"

namespace OX
{

DFUFailedForm::DFUFailedForm(DFUFormDelegate& delegate, QWidget* parent)
    : DFUForm(delegate, parent)
    , m_ui(std::make_unique<::Ui::DFUFailedForm>())
{
    m_ui->setupUi(this);
}

DFUFailedForm::~DFUFailedForm() = default;

void DFUFailedForm::retranslate() { }

void DFUFailedForm::pageWillAppear()
{
    retranslate();
    delegate.setNextStepEnabled(this, false, QString());
    delegate.setFormTitle(tr("Failed"));
}

void DFUFailedForm::setMessage(const QString& message)
{
    // A reason is plain text and may name a file ("<b>fw.enc" is no markup); only the form's
    // own first text is rich.
    m_ui->userMessage->setTextFormat(Qt::PlainText);
    m_ui->userMessage->setText(message);
}

QString DFUFailedForm::message() const
{
    return m_ui->userMessage->text();
}

void DFUFailedForm::retranslateForm()
{
    retranslateKeeping(*m_ui, { m_ui->userMessage });
}

} // namespace OX
