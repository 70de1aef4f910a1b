#include "ui/toolkit/LinkForm.h"

#include "ui/toolkit/StyledBackground.h"

namespace OX
{

const QColor LinkForm::ForwardColor(Qt::yellow);
const QColor LinkForm::BackwardColor(Qt::blue);
const QColor LinkForm::RightColor(Qt::yellow);
const QColor LinkForm::LeftColor(Qt::blue);
const QColor LinkForm::DeadzoneColor(Qt::black);
const QColor LinkForm::FaintzoneColor(Qt::red);

LinkForm::LinkForm(LPP& lpp, QWidget* parent)
    : QWidget(parent)
    , m_lpp(lpp)
{
}

void LinkForm::updateWithHeadset(Headset*, HeadsetChangeMask) { }

void LinkForm::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

} // namespace OX
