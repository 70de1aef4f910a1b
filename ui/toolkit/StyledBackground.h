#pragma once
// Draws the plain-widget style primitive, so that a style-sheet background applies to a widget
// class of our own (a QWidget subclass paints none by itself).
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

namespace OX
{

inline void drawStyledBackground(QWidget* widget)
{
    QStyleOption option;
    option.initFrom(widget);
    QPainter painter(widget);
    widget->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, widget);
}

} // namespace OX
