#include "ui/toolkit/CheckBox.h"

namespace OX
{

CheckBox::CheckBox(QWidget* parent)
    : QCheckBox(parent)
{
}

} // namespace OX
