#include "ui/toolkit/Bubble.h"

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScreen>

#include <algorithm>

namespace OX
{

namespace
{

constexpr int ShadowBlur = 5;
constexpr int ShadowOffset = 5;
const QColor ShadowColor(0, 0, 0, 150);
const QByteArray OpacityProperty("windowOpacity");

QMargins marginsFor(Bubble::Direction direction)
{
    switch (direction) {
    case Bubble::Left:
        return QMargins(0, 0, Bubble::SideArrowDepth, 0);
    case Bubble::Right:
        return QMargins(Bubble::SideArrowDepth, 0, 0, 0);
    case Bubble::Above:
        return QMargins(0, 0, 0, Bubble::EndArrowDepth);
    case Bubble::Below:
        return QMargins(0, Bubble::EndArrowDepth, 0, 0);
    }
    return QMargins();
}

// The rounded box and its arrow as one closed outline.
QPainterPath outline(Bubble::Direction direction, int w, int h)
{
    constexpr int side = Bubble::SideArrowDepth;
    constexpr int end = Bubble::EndArrowDepth;
    constexpr double half = Bubble::SideArrowHalfHeight;
    constexpr int endHalf = Bubble::EndArrowHalfWidth;
    QRectF box;
    QPolygonF arrow;
    switch (direction) {
    case Bubble::Left:
        box = QRectF(0, 0, w - side, h);
        arrow << QPointF(w - side, h * 0.5 - half) << QPointF(w, h / 2) << QPointF(w - side, h * 0.5 + half);
        break;
    case Bubble::Right:
        box = QRectF(side, 0, w - side, h);
        arrow << QPointF(side, h * 0.5 - half) << QPointF(0, h * 0.5) << QPointF(side, h * 0.5 + half);
        break;
    case Bubble::Above:
        box = QRectF(0, 0, w, h - end);
        arrow << QPointF(w / 2 - endHalf, h - end) << QPointF(w / 2, h) << QPointF(w / 2 + endHalf, h - end);
        break;
    case Bubble::Below:
        box = QRectF(0, end, w, h - end);
        arrow << QPointF(w / 2 - endHalf, end) << QPointF(w / 2, 0) << QPointF(w / 2 + endHalf, end);
        break;
    }
    QPainterPath path;
    path.addRoundedRect(box, Bubble::CornerRadius, Bubble::CornerRadius);
    QPainterPath tip;
    tip.addPolygon(arrow);
    tip.closeSubpath();
    return path.united(tip);
}

// The part of the target's screen that windows may cover; empty without a screen.
QRect screenArea(QWidget* target)
{
    QScreen* screen = target ? target->screen() : nullptr;
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

Bubble::Bubble(QWidget* content)
    : QDialog(nullptr,
        Qt::SubWindow | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_content(content)
    , m_layout(new QHBoxLayout(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->addWidget(m_content);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(ShadowBlur);
    shadow->setOffset(ShadowOffset, ShadowOffset);
    shadow->setColor(ShadowColor);
    setGraphicsEffect(shadow);
}

Bubble::~Bubble()
{
    if (m_targetWindow)
        m_targetWindow->removeEventFilter(this);
    if (m_target)
        m_target->removeEventFilter(this);
}

void Bubble::watch(QWidget* target)
{
    if (m_targetWindow)
        m_targetWindow->removeEventFilter(this);
    if (m_target) {
        m_target->removeEventFilter(this);
        disconnect(m_target, &QObject::destroyed, this, nullptr);
    }
    m_target = target;
    m_targetWindow = target ? target->window() : nullptr;
    if (!target)
        return;
    if (m_targetWindow && m_targetWindow != target)
        m_targetWindow->installEventFilter(this);
    target->installEventFilter(this);
    // A bubble pointing at a field that is gone has nothing left to say.
    connect(target, &QObject::destroyed, this, [this] {
        m_wanted = false;
        hide();
    });
}

void Bubble::showBubble(QWidget* target, Direction direction)
{
    m_direction = direction;
    if (target != m_target)
        watch(target);
    m_wanted = true;
    if (m_target && !m_target->window()->isActiveWindow())
        return;
    if (m_hideAnimation) {
        m_hideAnimation->disconnect(this);
        m_hideAnimation->stop();
        delete m_hideAnimation;
        // Shown again maybe for another target or from another side: it stands there now.
        setPosition();
        if (!isVisible())
            show(); // hidden with its window meanwhile
        startShowAnimation(windowOpacity());
        return;
    }
    setPosition();
    if (isVisible())
        return;
    show();
    startShowAnimation(0.0);
}

QPropertyAnimation* Bubble::fade(qreal from, qreal to, QEasingCurve::Type curve, void (Bubble::*finished)())
{
    auto* animation = new QPropertyAnimation(this, OpacityProperty, this);
    animation->setDuration(FadeMs);
    animation->setEasingCurve(curve);
    animation->setStartValue(from);
    animation->setEndValue(to);
    connect(animation, &QPropertyAnimation::finished, this, finished);
    return animation;
}

void Bubble::startShowAnimation(qreal from)
{
    m_showAnimation = fade(from, 1.0, QEasingCurve::InBack, &Bubble::onShowAnimationFinished);
    m_showAnimation->start();
}

void Bubble::hideBubble()
{
    m_wanted = false;
    if (!isVisible())
        return;
    if (m_showAnimation) {
        m_showAnimation->disconnect(this);
        m_showAnimation->stop();
        delete m_showAnimation;
    }
    if (m_hideAnimation)
        return; // already fading out
    m_hideAnimation = fade(windowOpacity(), 0.0, QEasingCurve::OutBack, &Bubble::onHideAnimationFinished);
    m_hideAnimation->start();
}

void Bubble::onHideAnimationFinished()
{
    if (m_hideAnimation)
        m_hideAnimation->deleteLater();
    m_hideAnimation = nullptr;
    hide();
}

void Bubble::onShowAnimationFinished()
{
    if (m_showAnimation)
        m_showAnimation->deleteLater();
    m_showAnimation = nullptr;
}

void Bubble::setPosition()
{
    m_layout->setContentsMargins(marginsFor(m_direction));
    if (!m_target)
        return;
    const int w = width();
    const int h = height();
    const int tw = m_target->width();
    const int th = m_target->height();
    QPoint corner;
    switch (m_direction) {
    case Left:
        corner = QPoint(-w, th / 2 - h / 2);
        break;
    case Right:
        corner = QPoint(tw, th / 2 - h / 2);
        break;
    case Above:
        corner = QPoint(tw / 2 - w / 2, -h);
        break;
    case Below:
        corner = QPoint(tw / 2 - w / 2, th);
        break;
    }
    QPoint at = m_target->mapToGlobal(corner);
    const QRect screen = screenArea(m_target);
    if (!screen.isEmpty()) {
        at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - w)));
        at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - h)));
    }
    move(at);
}

QRect Bubble::roomBeside(QWidget* target, Direction direction)
{
    const QRect area = screenArea(target);
    if (area.isEmpty())
        return QRect();
    const QRect field(target->mapToGlobal(QPoint(0, 0)), target->size());
    QRect room = area;
    switch (direction) {
    case Left:
        room.setRight(field.left() - 1);
        break;
    case Right:
        room.setLeft(field.right() + 1);
        break;
    case Above:
        room.setBottom(field.top() - 1);
        break;
    case Below:
        room.setTop(field.bottom() + 1);
        break;
    }
    return room.isValid() ? room : QRect();
}

bool Bubble::eventFilter(QObject* watched, QEvent* event)
{
    const bool ours = watched && (watched == m_target.data() || watched == m_targetWindow.data());
    if (!ours)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Move:
        setPosition();
        break;
    case QEvent::Show:
    case QEvent::WindowActivate:
        // A field hidden with its part of the page (the window itself still shown) has no
        // bubble beside it until it shows again.
        if (m_wanted && !isVisible() && (!m_target || m_target->isVisible())) {
            setWindowOpacity(1.0);
            setPosition();
            show();
        }
        break;
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
        hide();
        break;
    default:
        break;
    }
    return false;
}

void Bubble::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    setPosition();
}

void Bubble::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = m_content->palette().color(QPalette::Current, backgroundRole());
    p.setPen(color);
    p.setBrush(color);
    p.drawPath(outline(m_direction, width(), height()));
}

} // namespace OX
