#include "ui/toolkit/MenuItem.h"

#include "device/Dongle.h"
#include "device/Headset.h"
#include "ui/toolkit/Skin.h"

#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace OX
{

namespace
{

constexpr double MarginFraction = 0.05; // of the tile's height, around the disc and the icon
constexpr int HoverDelta = 40;
constexpr int PressDelta = 80;
constexpr int DisabledAlpha = 64;
constexpr double TitleFontFraction = 0.15; // of the disc's radius
constexpr double TitleArcStretch = 1.1;

struct Geometry {
    int margin; // m
    QRectF frame; // (m, m, W, H)
    QPointF centre;
    double radius;
};

Geometry geometryOf(QSizeF size)
{
    Geometry g;
    g.margin = int(std::floor(size.height() * MarginFraction));
    const double m = g.margin;
    g.frame = QRectF(m, m, size.width() - 2 * m, size.height() - 2 * m);
    g.centre = g.frame.center();
    g.radius = g.frame.width() / 2.0;
    return g;
}

} // namespace

MenuItem::MenuItem()
{
    setAcceptHoverEvents(true);
}

MenuItem::MenuItem(Identifier identifier, QString const& title)
    : m_identifier(identifier)
    , m_title(title)
{
    setAcceptHoverEvents(true);
}

MenuItem::MenuItem(Identifier identifier, QString const& title, QPixmap const& pixmap)
    : m_identifier(identifier)
    , m_title(title)
    , m_pixmap(pixmap)
{
    setAcceptHoverEvents(true);
}

MenuItem::~MenuItem()
{
    while (!m_items.isEmpty())
        delete m_items.takeFirst();
}

MenuItem* MenuItem::addItem(Identifier identifier, QString const& title, QPixmap const& pixmap)
{
    auto* item = new MenuItem(identifier, title, pixmap);
    item->m_parentItem = this;
    m_items.append(item);
    return item;
}

MenuItem* MenuItem::itemWithIdentifier(Identifier identifier) const
{
    for (MenuItem* item : m_items)
        if (item->m_identifier == identifier)
            return item;
    return nullptr;
}

void MenuItem::setTitleOfItem(Identifier identifier, QString const& title)
{
    if (MenuItem* item = itemWithIdentifier(identifier))
        item->setTitle(title);
}

void MenuItem::setSize(double width, double height)
{
    resize(width, height);
}

void MenuItem::setColor(QBrush const& icon, QBrush const& background, QBrush const& text)
{
    m_iconBrush = icon;
    m_backgroundBrush = background;
    m_textBrush = text;
    update();
}

void MenuItem::setPixmap(QPixmap const& pixmap)
{
    m_pixmap = Pixmap(pixmap);
    m_drawnIcon = QPixmap();
    m_overlay = QPixmap();
    update();
}

void MenuItem::setTitle(QString const& title)
{
    m_title = title;
    update();
}

void MenuItem::addDependency(Dependency dependency)
{
    m_dependencies.append(dependency);
}

void MenuItem::clearMarks()
{
    m_hovered = false;
    m_pressed = false;
    update();
}

bool MenuItem::evaluate(Dongle* dongle)
{
    auto has = [this](Dependency d) { return m_dependencies.contains(d); };
    Headset* headset = dongle ? dongle->headset() : nullptr;
    if (has(disabled))
        return false;
    if (has(needsDongle) && !dongle)
        return false;
    if (has(needsIdleDongle) && !(dongle && dongle->profile().state == quint8(DongleState::IDLE)))
        return false;
    if (has(needsHeadset) && !(headset && !headset->isErrorAcknowledged()))
        return false;
    if (has(needsLink) && !(dongle && !dongle->links().isEmpty()))
        return false;
    if (has(needsPassiveHeadset))
        return dongle && !(headset && headset->isActive());
    if (has(needsActiveHeadset))
        return headset && headset->isActive();
    return true;
}

void MenuItem::updateWithDongle(Dongle* dongle, DongleChangeMask mask)
{
    if (m_dependencies.contains(hidden)) {
        setVisible(false); // for good: nothing shows a hidden entry again
        return;
    }
    const bool usable = evaluate(dongle);
    setEnabled(usable);
    if (!usable) {
        // A disabled tile hears no release: held down as it went, it would come back pressed.
        if (m_hovered || m_pressed)
            clearMarks();
        return;
    }
    for (MenuItem* item : m_items)
        item->updateWithDongle(dongle, mask);
}

namespace
{
// Columns and rows of the grid of n cells: the smallest square that holds them, less its empty rows.
QSize gridOf(int n)
{
    int columns = int(std::floor(std::sqrt(double(n))));
    if (columns * columns != n)
        ++columns;
    return QSize(columns, columns < 1 ? 0 : (n + columns - 1) / columns);
}
} // namespace

double MenuItem::cellSide(int n, QSizeF scene)
{
    const QSize grid = gridOf(n);
    return grid.width() < 1 ? 0 : std::min(scene.width() / grid.width(), scene.height() / grid.height());
}

QSize MenuItem::iconBox(QSizeF tile)
{
    const Geometry g = geometryOf(tile);
    const int m2 = int(std::floor(g.frame.height() * MarginFraction));
    return QSize(int(g.frame.width() - 2 * m2), int(g.frame.height() - 2 * m2));
}

void MenuItem::applyTo(QGraphicsScene& scene)
{
    for (QGraphicsItem* item : scene.items())
        scene.removeItem(item);
    const int n = m_items.size();
    const QSize grid = gridOf(n);
    const int columns = grid.width();
    const int rows = grid.height();
    if (columns < 1)
        return;
    const double width = scene.sceneRect().width();
    const double height = scene.sceneRect().height();
    const double cell = cellSide(n, scene.sceneRect().size());
    double y = (height - rows * cell) / 2.0;
    int next = 0;
    for (int r = 0; r < rows; ++r) {
        const int k = std::min(columns, n - r * columns);
        double x = (width - k * cell) / 2.0;
        for (int i = 0; i < k; ++i, ++next) {
            m_items.at(next)->setPos(x, y);
            m_items.at(next)->setSize(cell, cell);
            x += cell;
        }
        y += cell;
    }
    for (MenuItem* item : m_items)
        scene.addItem(item);
}

QRectF MenuItem::getFrame() const
{
    return geometryOf(size()).frame;
}

bool MenuItem::inside(QPointF point) const
{
    const Geometry g = geometryOf(size());
    return std::hypot(point.x() - g.centre.x(), point.y() - g.centre.y()) < g.radius;
}

QColor MenuItem::discColor() const
{
    QColor color = m_backgroundBrush.color();
    int h, s, v, a;
    color.getHsv(&h, &s, &v, &a);
    if (isEnabled()) {
        const int delta = m_pressed ? PressDelta : (m_hovered ? HoverDelta : 0);
        v = v + delta < 255 ? v + delta : v - delta;
    } else {
        a = DisabledAlpha;
    }
    return QColor::fromHsv(h, s, v, a);
}

QPixmap MenuItem::drawOverlay(const QColor& fill, const QFont& font)
{
    const Geometry g = geometryOf(size());
    const int m2 = int(std::floor(g.frame.height() * MarginFraction));
    const QSize iconBox = MenuItem::iconBox(size());
    QPixmap overlay(int(size().width()), int(size().height()));
    overlay.fill(Qt::transparent);
    {
        QPainter op(&overlay);
        op.setFont(font);
        op.setRenderHint(QPainter::Antialiasing);
        op.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_pixmap.isNull() && !iconBox.isEmpty()) {
            const QRgb color = m_iconBrush.color().rgba();
            if (m_drawnIcon.isNull() || m_drawnIconBox != iconBox || m_drawnIconColor != color) {
                // The shape is kept at the size it is drawn, not at the drawing's own, and once:
                // tinting keeps each pixel's alpha, so the tinted icon serves as the shape.
                if (m_pixmap.width() > iconBox.width() || m_pixmap.height() > iconBox.height())
                    m_pixmap
                        = Pixmap(m_pixmap.scaled(iconBox, Qt::KeepAspectRatio, Qt::SmoothTransformation));
                m_drawnIcon = m_pixmap.getTintedCopy(m_iconBrush.color());
                m_pixmap = Pixmap(m_drawnIcon);
                m_drawnIconBox = iconBox;
                m_drawnIconColor = color;
            }
            op.drawPixmap(QPointF(g.margin + m2, g.margin + m2), m_drawnIcon);
        }
        drawTitleText(m_title, m_iconBrush, g.centre, g.radius, &op);
        op.setCompositionMode(QPainter::CompositionMode_SourceIn);
        op.fillRect(overlay.rect(), fill);
    }
    return overlay;
}

void MenuItem::paint(QPainter* painter, QStyleOptionGraphicsItem const*, QWidget*)
{
    const Geometry g = geometryOf(size());

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(discColor()));
    painter->drawEllipse(g.frame);

    // The icon and the title, in the skin's icon colour, are drawn once and kept while nothing
    // they are made of changes (size, state, colours, title, font): hovering and pressing only
    // change the disc beneath them.
    const QColor fill = Skin::color(isEnabled() ? QStringLiteral("menuItemPassiveIconColor")
                                                : QStringLiteral("menuItemDisabledIconColor"));
    const QString key = QStringLiteral("%1x%2 %3 %4 %5 %6")
                            .arg(size().width())
                            .arg(size().height())
                            .arg(fill.rgba())
                            .arg(m_iconBrush.color().rgba())
                            .arg(painter->font().key(), m_title);
    if (m_overlay.isNull() || key != m_overlayKey) {
        m_overlay = drawOverlay(fill, painter->font());
        m_overlayKey = key;
    }
    painter->drawPixmap(QPointF(0, 0), m_overlay);
    painter->restore();
}

void MenuItem::drawTitleText(
    QString const& text, QBrush const& brush, QPointF centre, double radius, QPainter* painter)
{
    if (text.isEmpty() || radius <= 0)
        return;
    painter->save();
    QFont font = painter->font();
    font.setPixelSize(std::max(1, int(std::floor(radius * TitleFontFraction))));
    painter->setFont(font);
    const QFontMetricsF metrics(font);
    const double h = metrics.height();
    const double r = radius - (2 * metrics.descent() + h);
    if (r <= 0) {
        painter->restore();
        return;
    }
    QPen pen = painter->pen();
    pen.setBrush(brush);
    painter->setPen(pen);

    const double t = metrics.horizontalAdvance(text);
    const double length = TitleArcStretch * t;
    const double span = length / (2 * r * M_PI) * 360.0;
    const double start = 270.0 - span / 2.0;
    const QRectF circle(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    QPainterPath path;
    path.arcMoveTo(circle, start);
    path.arcTo(circle, start, span);

    const QVector<double> centres = titleLetterCentres(text, metrics);
    for (int i = 0; i < text.size(); ++i) {
        // Each letter stands upright on the arc at its own centre.
        const double p = centres.at(i);
        const QPointF point = path.pointAtPercent(p);
        const double angle = path.angleAtPercent(p);
        painter->save();
        painter->translate(point);
        painter->rotate(-angle);
        painter->drawText(QPointF(-metrics.horizontalAdvance(text.at(i)) / 2.0, h), QString(text.at(i)));
        painter->restore();
    }
    painter->restore();
}

QVector<double> MenuItem::titleLetterCentres(QString const& text, QFontMetricsF const& metrics)
{
    QVector<double> centres;
    const double t = metrics.horizontalAdvance(text);
    if (t <= 0)
        return centres;
    // The arc is longer than the text; the text sits in its middle, each letter as far along as
    // the text before it is wide (kerning included).
    const double length = TitleArcStretch * t;
    const double lead = (length - t) / 2.0;
    centres.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const double before = metrics.horizontalAdvance(text.left(i));
        const double centre = lead + before + metrics.horizontalAdvance(text.at(i)) / 2.0;
        centres << std::clamp(centre / length, 0.0, 1.0);
    }
    return centres;
}

void MenuItem::hoverEnterEvent(QGraphicsSceneHoverEvent*) { }

void MenuItem::hoverMoveEvent(QGraphicsSceneHoverEvent* event)
{
    if (!isEnabled())
        return;
    const bool now = inside(event->pos());
    const bool before = inside(event->lastPos());
    if (now && !before) {
        m_hovered = true;
        m_pressed = false;
        update();
    } else if (!now && before) {
        m_hovered = false;
        m_pressed = false;
        update();
    }
}

void MenuItem::hoverLeaveEvent(QGraphicsSceneHoverEvent*)
{
    clearMarks();
}

void MenuItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    event->accept(); // the release comes here even when the press missed the disc
    if (!isEnabled())
        return;
    if (inside(event->pos())) {
        m_pressed = true;
        update();
    }
}

void MenuItem::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (!isEnabled())
        return;
    const bool now = inside(event->pos());
    const bool before = inside(event->lastPos());
    if (now != before) {
        m_hovered = now;
        update();
    }
}

void MenuItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!isEnabled())
        return;
    if (inside(event->pos()))
        emit actionSignal(this);
    m_pressed = false;
    update();
}

} // namespace OX
