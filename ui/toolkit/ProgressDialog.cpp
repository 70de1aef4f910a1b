#include "ui/toolkit/ProgressDialog.h"

#include "ui_ProgressDialog.h"

#include <cmath>

namespace OX
{

ProgressDialog::ProgressDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ProgressDialog)
{
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &ProgressDialog::reject);
    setFixedSize(574, 152);
}

ProgressDialog::~ProgressDialog()
{
    delete ui;
}

void ProgressDialog::setInfo(const QString& text)
{
    infoText = text;
    ui->label->setText(text);
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
