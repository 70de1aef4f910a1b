#pragma once
// One red corner bracket of the crosshair countdown. It always paints in its own 100 x 100
// square, whatever geometry an animation gives it, and draws the two edges whose meeting point
// faces the overlay's centre.
#include <QGraphicsWidget>

class OXCrossView : public QGraphicsWidget
{
    Q_OBJECT
public:
    enum Side : int {
        TopLeft = 0, // bottom and right edges
        TopRight = 1, // left and bottom edges
        BottomLeft = 2, // top and right edges
        BottomRight = 3, // top and left edges
    };
    Q_ENUM(Side)

    // The square every bracket paints in, and the pen width (device pixels).
    static constexpr int Size = 100;
    static constexpr int PenWidth = 4;

    explicit OXCrossView(Side side);

    Side side() const { return m_side; }

    // Always (0, 0, 100, 100).
    QRectF boundingRect() const override;
    // The two edges of the side; a side outside 0..3 draws nothing.
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    // The two edges drawn for side, in the bracket's own coordinates (empty for an unknown side).
    static QVector<QLine> edges(int side);

private:
    const Side m_side;
};
