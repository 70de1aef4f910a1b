#include "ui/toolkit/IconButton.h"

#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/Skin.h"

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
    QIcon tinted(shape.getTintedCopy(color));
    // Qt's style sheets set properties from the rules of a widget's plain state only, so the
    // disabled state's icon colour is not set with them: a framed button shows its icon in the
    // skin's colour for disabled widgets while disabled, as its frame is. The help and info
    // buttons keep their one colour.
    if (m_mode == QLatin1String("button"))
        tinted.addPixmap(
            shape.getTintedCopy(Skin::color(QStringLiteral("disabledWidgetColor"))), QIcon::Disabled);
    setIcon(tinted);
}

} // namespace OX
