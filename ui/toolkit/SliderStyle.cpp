#include "ui/toolkit/SliderStyle.h"

namespace OX
{

namespace
{

// The key of current's kind. A style sheet wraps the application's style in a nameless style
// whose child is the real one.
QString styleKey(QStyle* current)
{
    if (!current)
        return {};
    if (!current->objectName().isEmpty())
        return current->objectName();
    for (QStyle* inner : current->findChildren<QStyle*>()) {
        if (!inner->objectName().isEmpty())
            return inner->objectName();
    }
    return {};
}

} // namespace

SliderStyle::SliderStyle(QStyle* current)
    : QProxyStyle(styleKey(current))
{
}

int SliderStyle::styleHint(
    StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const
{
    if (hint == QStyle::SH_Slider_AbsoluteSetButtons)
        return Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace OX
