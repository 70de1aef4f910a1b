#include "ui/toolkit/SegmentButton.h"

namespace OX
{

SegmentButton::SegmentButton(QWidget* parent)
    : QPushButton(parent)
{
}

} // namespace OX
