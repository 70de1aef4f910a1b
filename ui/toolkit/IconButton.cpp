#include "ui/toolkit/IconButton.h"

#include "ui/toolkit/Pixmap.h"

namespace OX
{

IconButton::IconButton(QWidget* parent)
    : QToolButton(parent)
{
}

void IconButton::setIconColor(const QColor& color)
{
    m_iconColor = color;
    const Pixmap shape(icon(), iconSize());
    if (shape.isNull())
        return; // no icon yet: nothing to colour
    setIcon(QIcon(shape.getTintedCopy(color)));
}

} // namespace OX
