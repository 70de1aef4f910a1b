// The crosshair's corner brackets and the check box of the appearance page.
#include "common/gui_util.h"

#include "ui/toolkit/CheckBox.h"
#include "ui/toolkit/OXCrossView.h"

#include <QGraphicsScene>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace
{

// The bracket painted into a 120 x 120 image at (10, 10), after its geometry was set to rect.
QImage paintedBracket(int side, const QRectF& rect)
{
    QGraphicsScene scene(0, 0, 120, 120);
    auto* marker = new OXCrossView(OXCrossView::Side(side));
    scene.addItem(marker);
    marker->setGeometry(rect);
    marker->setPos(10, 10);
    QImage image(120, 120, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    scene.render(&painter, QRectF(0, 0, 120, 120), QRectF(0, 0, 120, 120));
    return image;
}

bool red(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y) == QColor(Qt::red);
}

} // namespace

TEST(OXCrossView, EachSideDrawsTheTwoEdgesMeetingAtItsVertex)
{
    // (x, y) probes in the image: the middle of the top, bottom, left and right edges.
    const QPoint top(60, 10), bottom(60, 110), left(10, 60), right(110, 60);
    const struct {
        int side;
        QVector<QPoint> drawn;
        QVector<QPoint> clear;
    } cases[] = {
        { OXCrossView::TopLeft, { bottom, right }, { top, left } },
        { OXCrossView::TopRight, { left, bottom }, { top, right } },
        { OXCrossView::BottomLeft, { top, right }, { bottom, left } },
        { OXCrossView::BottomRight, { top, left }, { bottom, right } },
        { 7, {}, { top, bottom, left, right } },
    };
    for (const auto& c : cases) {
        // Whatever size the animation gives it, the bracket is 100 x 100.
        const QImage image = paintedBracket(c.side, QRectF(0, 0, 30, 400));
        for (const QPoint& p : c.drawn)
            EXPECT_TRUE(red(image, p.x(), p.y())) << c.side << " at " << p.x() << "," << p.y();
        for (const QPoint& p : c.clear)
            EXPECT_FALSE(red(image, p.x(), p.y())) << c.side << " at " << p.x() << "," << p.y();
    }
    EXPECT_EQ(OXCrossView(OXCrossView::TopLeft).boundingRect(), QRectF(0, 0, 100, 100));
}

TEST(CheckBox, ImageColorIsStoredAndChangesNothingSeen)
{
    OX::CheckBox box(nullptr);
    box.setText(QStringLiteral("Show toolbar"));
    box.resize(200, 30);
    EXPECT_FALSE(box.imageColor().isValid());
    const QImage before = box.grab().toImage();
    EXPECT_TRUE(box.setProperty("imageColor", QColor(Qt::green)));
    EXPECT_EQ(box.imageColor(), QColor(Qt::green));
    EXPECT_TRUE(testutil::imagesClose(before, box.grab().toImage(), 0, 0.0));
}
