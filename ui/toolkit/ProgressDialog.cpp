#include "ui/toolkit/ProgressDialog.h"

#include "ui/toolkit/TextWrap.h"
#include "ui_ProgressDialog.h"

#include <QCloseEvent>
#include <QGuiApplication>

#include <cmath>

namespace OX
{

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ProgressDialog)
{
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &ProgressDialog::reject);
    setFixedSize(Width, Height);
}

void ProgressDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fitInfo();
}

void ProgressDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void ProgressDialog::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event); // dialogClosed; still shown, the close is refused
    if (qGuiApp && qGuiApp->isSavingSession())
        event->accept();
}

void ProgressDialog::fitInfo()
{
    // The width stays; the height grows from its usual one until the whole text shows, so that
    // a long or translated text is never cut.
    setFixedHeight(Height);
    setFixedHeight(heightForTexts(this));
}

ProgressDialog::~ProgressDialog()
{
    delete ui;
}

void ProgressDialog::setInfo(const QString& text)
{
    infoText = text;
    ui->label->setText(text);
    if (isVisible())
        fitInfo();
}

void ProgressDialog::setProgress(double value)
{
    fraction = value;
    double percent = value * 100.0;
    if (std::isnan(percent) || percent < 0.0)
        percent = 0.0;
    else if (percent > 100.0)
        percent = 100.0;
    ui->progressBar->setValue(int(percent));
}

void ProgressDialog::reject()
{
    emit dialogClosed();
}

} // namespace OX
