#include "ui/toolkit/TimeoutDialog.h"

#include "ui/toolkit/TextWrap.h"
#include "ui_TimeoutDialog.h"

#include <QPushButton>

#include <utility>

namespace OX
{

TimeoutDialog::TimeoutDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TimeoutDialog>())
{
    m_ui->setupUi(this);
    // Return answers No: only No is an auto-default button.
    if (QPushButton* yes = m_ui->buttonBox->button(QDialogButtonBox::Yes)) {
        yes->setAutoDefault(false);
        yes->setDefault(false);
    }
    if (QPushButton* no = m_ui->buttonBox->button(QDialogButtonBox::No)) {
        no->setAutoDefault(true);
        no->setDefault(true);
    }
}

TimeoutDialog::~TimeoutDialog() = default;

QString TimeoutDialog::message() const
{
    return m_ui->message->text();
}

void TimeoutDialog::setMessage(const QString& message)
{
    m_ui->message->setText(message);
    if (isVisible())
        fitMessage();
}

void TimeoutDialog::fitMessage()
{
    // The dialog grows downwards until the whole question shows: a long or translated text is
    // never cut at the bottom.
    resize(width(), heightForTexts(this));
}

void TimeoutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fitMessage();
    // Once: shown again (restored after being minimised, say) the clock goes on where it is, in
    // step with its owner's timer, rather than offering the whole time again.
    if (!std::exchange(m_clockStarted, true))
        m_ui->clockWidget->start(m_duration, false);
}

} // namespace OX
