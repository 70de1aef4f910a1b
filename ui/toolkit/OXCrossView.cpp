#include "ui/toolkit/OXCrossView.h"

#include <QPainter>
#include <QPen>

OXCrossView::OXCrossView(Side side)
    : QGraphicsWidget(nullptr)
    , m_side(side)
{
}

QRectF OXCrossView::boundingRect() const
{
    return QRectF(0, 0, Size, Size);
}

QVector<QLine> OXCrossView::edges(int side)
{
    const int w = Size;
    const int h = Size;
    switch (side) {
    case TopLeft:
        return { QLine(w, h, 0, h), QLine(w, h, w, 0) };
    case TopRight:
        return { QLine(0, 0, 0, h), QLine(0, h, w, h) };
    case BottomLeft:
        return { QLine(0, 0, w, 0), QLine(w, 0, w, h) };
    case BottomRight:
        return { QLine(0, 0, w, 0), QLine(0, 0, 0, h) };
    default:
        return {};
    }
}

void OXCrossView::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    QPen pen(QBrush(Qt::red), PenWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->drawLines(edges(m_side));
}
