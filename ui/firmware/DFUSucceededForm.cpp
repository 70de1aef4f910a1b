#include "ui/firmware/DFUSucceededForm.h"

#include "ui_DFUSucceededForm.h"

#include "ui/firmware/DFUFormDelegate.h"

namespace OX
{

DFUSucceededForm::DFUSucceededForm(DFUFormDelegate& delegate, QWidget* parent)
    : DFUForm(delegate, parent)
    , m_ui(std::make_unique<::Ui::DFUSucceededForm>())
{
    m_ui->setupUi(this);
}

DFUSucceededForm::~DFUSucceededForm() = default;

void DFUSucceededForm::retranslate() { }

void DFUSucceededForm::pageWillAppear()
{
    retranslate();
    delegate.setNextStepEnabled(this, false, QString());
    delegate.setFormTitle(tr("Succeeded"));
}

Page::Question DFUSucceededForm::outcome() const
{
    Page::Question message;
    message.icon = Page::Icon::Information;
    message.title = m_ui->userInfo->text();
    message.text = m_ui->todoMessage->text();
    return message;
}

void DFUSucceededForm::retranslateForm()
{
    m_ui->retranslateUi(this);
}

} // namespace OX
