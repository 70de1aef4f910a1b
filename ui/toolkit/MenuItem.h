#pragma once
// One round tile of the main menu and the entries below it. A tile is enabled, disabled or
// hidden by its dependencies, evaluated against the connected dongle and its headset, so that a
// page that needs a dongle, a headset or a headset not in use cannot be opened without it. A click
// is a press anywhere on the tile followed by a release inside its disc.
#include "device/DongleDelegate.h"
#include "ui/toolkit/Pixmap.h"

#include <QBrush>
#include <QGraphicsWidget>
#include <QList>
#include <QString>
#include <QVector>

class QFontMetricsF;

class Dongle;
class QGraphicsScene;

namespace OX
{

class MenuItem : public QGraphicsWidget
{
    Q_OBJECT
public:
    enum Identifier : quint8 {
        NoItem = 0,
        MainItem = 1,
        SystemStatusItem = 2,
        AppearanceItem = 3,
        SettingsItem = 4,
        NetworkItem = 5,
        MouseProfilesItem = 6,
        CalibrationItem = 7,
        FirmwareUpdateItem = 8,
        LinkItem = 9,
        PairingItem = 10,
        SecurityItem = 11,
        DevicesItem = 12,
    };
    Q_ENUM(Identifier)

    // The condition under which an entry is usable.
    enum Dependency : quint8 {
        needsDongle = 1,
        needsHeadset = 2, // a headset whose communication failure was not reported
        needsLink = 3,
        needsPassiveHeadset = 4, // no headset, or one that is not active
        needsActiveHeadset = 5,
        disabled = 6,
        hidden = 7,
        needsIdleDongle = 8,
    };

    enum { Type = QGraphicsItem::UserType + 1 };

    MenuItem();
    MenuItem(Identifier identifier, QString const& title);
    MenuItem(Identifier identifier, QString const& title, QPixmap const& pixmap);
    // Deletes the entries below it, first to last.
    ~MenuItem() override;

    int type() const override { return Type; }

    MenuItem* addItem(Identifier identifier, QString const& title, QPixmap const& pixmap);
    // The first direct child with that identifier (grandchildren are not searched), or null.
    MenuItem* itemWithIdentifier(Identifier identifier) const;
    void setTitleOfItem(Identifier identifier, QString const& title);
    void setSize(double width, double height);
    void setColor(QBrush const& icon, QBrush const& background, QBrush const& text);
    // The icon's shape, drawn in the icon colour.
    void setPixmap(QPixmap const& pixmap);
    void setTitle(QString const& title);
    void addDependency(Dependency dependency);

    // Enables, disables or hides this entry by its dependencies and, when it ends enabled, goes
    // on with its children.
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask);
    // Shows this entry's children in the scene as a centred grid of square cells.
    void applyTo(QGraphicsScene& scene);
    // The side of each cell when n entries are shown in a scene of that size.
    static double cellSide(int n, QSizeF scene);
    // The box a tile of that size draws its icon in.
    static QSize iconBox(QSizeF tile);

    QRectF getFrame() const;
    // Strictly inside the disc inscribed in the frame.
    bool inside(QPointF point) const;
    // Writes text along the bottom of the circle of radius around centre, left to right.
    static void drawTitleText(
        QString const& text, QBrush const& brush, QPointF centre, double radius, QPainter* painter);
    // Where along the title's arc (0 to 1) each letter's centre stands: evenly by the letters'
    // widths, the text in the middle of an arc a tenth longer than it.
    static QVector<double> titleLetterCentres(QString const& text, QFontMetricsF const& metrics);

    void paint(QPainter* painter, QStyleOptionGraphicsItem const* option, QWidget* widget) override;

    MenuItem* parentMenuItem() const { return m_parentItem; }
    Identifier identifier() const { return m_identifier; }
    QString title() const { return m_title; }
    QList<MenuItem*> const& items() const { return m_items; }
    QList<Dependency> const& dependencies() const { return m_dependencies; }
    bool isHovered() const { return m_hovered; }
    bool isPressed() const { return m_pressed; }
    void clearMarks();
    // The disc's colour as painted now.
    QColor discColor() const;

signals:
    void actionSignal(OX::MenuItem* item);

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    // False when a dependency leaves the entry disabled.
    bool evaluate(Dongle* dongle);
    // The icon and the title, filled with fill, on a transparent pixmap of the entry's size.
    QPixmap drawOverlay(const QColor& fill, const QFont& font);

    MenuItem* m_parentItem = nullptr;
    Identifier m_identifier = NoItem;
    QString m_title;
    Pixmap m_pixmap;
    // The icon as last drawn: tinted and scaled once, not at every repaint.
    QPixmap m_drawnIcon;
    QSize m_drawnIconBox;
    QRgb m_drawnIconColor = 0;
    // The icon and the title over the disc, as last drawn, and what they were drawn from.
    QPixmap m_overlay;
    QString m_overlayKey;
    QBrush m_backgroundBrush;
    QBrush m_iconBrush;
    QBrush m_textBrush;
    bool m_hovered = false;
    bool m_pressed = false;
    QList<Dependency> m_dependencies;
    QList<MenuItem*> m_items;
};

} // namespace OX
