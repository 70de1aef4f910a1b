#pragma once
// The picture on which head-tilt thresholds are set: a head seen from the side or the front and,
// about a pivot at the neck, named angles with their limits, colours and ways of being drawn. The
// user drags the handle of an editable angle; once the pointer has left the press by the
// platform's drag distance, the value follows it, snapped and held within its limits. It is
// reported once, on release; a drag whose release the view cannot see (hidden, disabled, its
// window blocked or left) goes back to where it was pressed, or to a value set since. A magenta
// needle shows the head's live angle relative to the orientation taken first or after "&Set center".
//
// Angles are in degrees from straight up about the pivot: positive opens clockwise for Clockwise
// and counter-clockwise for CounterClockwise.
#include "ui/toolkit/Easing.h"

#include <QColor>
#include <QConicalGradient>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QPointF>
#include <QQuaternion>
#include <QRectF>
#include <QRegion>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QPainter;
class QPushButton;

namespace OX
{

class HeadAngleView : public QWidget
{
    Q_OBJECT
public:
    enum Orientation : qint32 { Clockwise = 0, CounterClockwise = 1 };
    enum Visualization : qint32 {
        Pie = 0,
        PieDashedLine = 1,
        SolidLine = 2,
        DashedLine = 3,
        FadingPie = 4,
        FadingToBottom = 5,
    };
    // The picture shown: a head from the front or from the side. Every plane drags from straight up.
    enum Plane : qint32 { Front = 3, Side = 4 };
    enum Axis : qint32 { None = 0, Pitch = 1, Yaw = 2, Roll = 3 };

    struct Angle {
        double value = 0.0;
        double minimum = 0.0;
        double maximum = 0.0;
        QPointF handle; // centre of the drag handle, from the last paint
        QRectF handleRect; // its hit area, from the last paint; empty before
        Orientation orientation = Clockwise;
        Visualization visualization = Pie;
        QColor color;
        bool editable = false;
    };

    static constexpr double DefaultSnap = 0.5;
    static constexpr int HandleSize = 10;
    static constexpr int HandleDistance = 25; // beyond the sector's radius
    static constexpr int LabelPointSize = 25;

    explicit HeadAngleView(QWidget* parent = nullptr);
    ~HeadAngleView() override;

    // The picture drawn into the view's square and the pivot in picture pixels from its centre.
    // The scaled picture and the masks over and beside the head are made at the next paint.
    void setImage(QImage const& image, QPoint const& pivotOffset, Plane plane);
    // The same with the picture asked of source at the first paint: a view that is never shown
    // never decodes it.
    void setImageSource(std::function<QImage()> source, QPoint const& pivotOffset, Plane plane);
    // Drag step in degrees; 0 or less: no snapping.
    void setSnap(double step);
    // False, with nothing changed, when the name exists.
    bool addAngle(QString const& name, double minimum, double maximum, double value, Orientation orientation,
        QColor const& color, Visualization visualization, bool editable);
    // The setters return false for an unknown name; neither clamps the value.
    bool setLimits(QString const& name, double minimum, double maximum);
    bool setAngle(QString const& name, double value);
    bool setColor(QString const& name, QColor const& color);
    // 0.0 for an unknown name.
    double getAngle(QString const& name) const;
    double getMinimum(QString const& name) const;
    double getMaximum(QString const& name) const;
    // The head's orientation; the first one (and the first after "&Set center") is the reference.
    void setMonitor(QQuaternion const& orientation, Axis axis);
    void retranslate();

    // What the last layout and paint computed.
    QPointF pivot() const { return m_pivot; }
    double radius() const;
    Angle angle(QString const& name) const { return m_angles.value(name); }
    QString activeName() const { return m_activeName; }
    // The needle's angle: the head's turn about the axis since the reference, 0 without one.
    float monitoringAngle() const;
    QPushButton* centerButton() const { return m_centerButton; }

signals:
    void angleChanged(QString ref, double angle);

public slots:
    // The next orientation becomes the reference.
    void onResetButtonClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The geometry at the view's size; the pictures wait for the next paint.
    void recalculate();
    // The scaled picture, the masks and their regions, when the picture or the size changed.
    void preparePictures();
    QPixmap genMask(QImage const& mask, bool invert) const;
    // Ends a drag whose release will never come: the angle goes back to its value at the press
    // and nothing is reported.
    void cancelDrag();
    QRect imageSquare() const;
    // The point at distance from the pivot at angle a, for the angle's orientation.
    QPointF pointAt(double distance, double a, Orientation orientation) const;
    void paintAngles(QPainter& painter, double radius, double strength);
    void paintShape(QPainter& painter, Angle const& angle, double radius, QColor const& dark);
    void paintScale(QPainter& painter, Angle const& angle, double radius, QColor const& color);
    void paintHandle(QPainter& painter, Angle const& angle, double radius, QColor const& color);

    QImage m_image;
    std::function<QImage()> m_imageSource; // asked once, at the first paint
    QImage m_alpha; // the picture's alpha mask, made once per picture
    bool m_picturesStale = true;
    QPixmap m_scaledImage; // the picture at the square's size, made with the masks
    QPoint m_pivotOffset;
    QPixmap m_insideMask;
    QPixmap m_outsideMask;
    QRegion m_insideRegion;
    QRegion m_outsideRegion;
    Plane m_plane = Plane(0);
    Axis m_axis = None;
    double m_snap = DefaultSnap;
    QString m_activeName;
    // Where the active handle was pressed, and whether the pointer has since gone far enough from
    // there to drag it: a press that only wobbles is a click and changes nothing.
    QPointF m_pressPos;
    double m_pressValue = 0.0; // the active angle's value at the press
    bool m_dragging = false;
    QPointF m_center;
    QPointF m_pivot;
    int m_size = 0;
    QStringList m_names;
    QMap<QString, Angle> m_angles;
    std::unique_ptr<QQuaternion> m_reference;
    QQuaternion m_monitor;
    QPushButton* m_centerButton = nullptr;
};

// The angle in degrees from line a1-a2 to line b1-b2, positive when the second lies clockwise of
// the first on screen (negated with invert); 0 for parallel, anti-parallel or empty lines.
double angleBetween(QPointF a1, QPointF a2, QPointF b1, QPointF b2, bool invert);
// point turned about center by angle degrees, clockwise on screen.
QPointF rotateLine(QPointF center, QPointF point, double angle);
// a + (b - a) x t for red, green, blue and alpha, kept within the colour range.
QColor interpolateColor(QColor a, QColor b, double t);
// A conical gradient about center: color2 all round except on the arc from b back to a, where it
// runs from color2 at b to color1 at a along the easing curve (linearly without steps).
QConicalGradient gradientMake(QPointF const& center, double a, QColor const& color1, double b,
    QColor const& color2, EasingFunction easing, int steps, bool invert);

} // namespace OX
