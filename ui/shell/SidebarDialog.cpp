#include "ui/shell/SidebarDialog.h"
#include "ui_SidebarDialog.h"

#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "ui/shell/NativeWindow.h"
#include "ui/shell/ScreenGeometry.h"
#include "ui/shell/VirtualKeyboard.h"
#include "ui/toolkit/Pixmap.h"
#include "ui/toolkit/Skin.h"
#include "ui/toolkit/ToolButton.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QtDebug>

#include <cmath>

namespace
{

const char kPassive[] = "passiveWidgetColor";

// Effective scale and opacity from the settings' 0..1.
double effectiveScale(float scale)
{
    return double(scale) * 0.675 + 0.325;
}

double effectiveOpacity(float opacity)
{
    return double(opacity) * 0.75 + 0.25;
}

} // namespace

float SidebarDialog::baseFactor(const QSize& available)
{
    // The shorter side: on a portrait screen the height-based factor would make the toolbar
    // taller than the screen.
    const float side = float(qMin(available.width(), available.height()));
    return side / float(FormHeight) * ScreenShare;
}

SidebarDialog::SidebarDialog(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_ui(std::make_unique<Ui::SidebarDialog>())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Never the active window, it would otherwise show no tooltip, and with it no word of a
    // keyboard that did not start.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // The person's mouse buttons and keys stay at hand while a box of ours waits for an answer:
    // with the head click set to the right button or to scrolling, only the toolbar can set it
    // back to the left button that presses the box's buttons.
    setAttribute(Qt::WA_GroupLeader);
    setFocusPolicy(Qt::NoFocus);
    NativeWindow::setNotToGrapFocus(reinterpret_cast<void*>(winId()));
    // A tool beside every application, not one of them: no task-bar or switcher entry.
    NativeWindow::keepOffTaskbar(this);
    m_ui->setupUi(this);

    // Every button's icon is a tinted copy made here (the form names none: each would be decoded
    // at start only to be replaced).
    const struct {
        OX::ToolButton* button;
        const char* icon;
    } icons[] = {
        { m_ui->setLocationButton, ":/sidebar/icons/icon_attach_left" },
        { m_ui->statusButton, ":/sidebar/icons/icon_status_none" },
        { m_ui->batteryButton, ":/sidebar/icons/icon_battery_none" },
        { m_ui->mouseButton, ":/sidebar/icons/icon_mouse" },
        { m_ui->altButton, ":/sidebar/icons/icon_key_alt_mac" },
        { m_ui->cmdButton, ":/sidebar/icons/icon_key_cmd" },
        { m_ui->shiftButton, ":/sidebar/icons/icon_key_shift" },
        { m_ui->copyButton, ":/sidebar/icons/icon_copy" },
        { m_ui->cutButton, ":/sidebar/icons/icon_cut" },
        { m_ui->pasteButton, ":/sidebar/icons/icon_paste" },
        { m_ui->scrollButton, ":/sidebar/icons/icon_scroll_none" },
        { m_ui->keyboardButton, ":/sidebar/icons/icon_keyboard" },
    };
    for (const auto& entry : icons)
        entry.button->setIcon(tintedIcon(QLatin1String(entry.icon), kPassive));
    m_ui->scrollButton->setEnabled(false);

    updateBaseSize();
    setFixedSize(m_baseWidth, m_baseHeight);

    m_ui->statusButton->setIcon(State::getStatusIcon(State::Start, State::Active));

    connect(m_ui->setLocationButton, &QAbstractButton::clicked, this, &SidebarDialog::onSetLocationClicked);
    connect(m_ui->statusButton, &QAbstractButton::clicked, this, &SidebarDialog::onStatusClicked);
    connect(m_ui->keyboardButton, &QAbstractButton::clicked, this, &SidebarDialog::onKeyboardClicked);
    connect(m_ui->mouseButton, &QAbstractButton::clicked, this, &SidebarDialog::onMouseClicked);
    connect(m_ui->scrollButton, &QAbstractButton::clicked, this, &SidebarDialog::onScrollClicked);
    connect(m_ui->altButton, &QAbstractButton::clicked, this, &SidebarDialog::onAltClicked);
    connect(m_ui->cmdButton, &QAbstractButton::clicked, this, &SidebarDialog::onCmdClicked);
    connect(m_ui->shiftButton, &QAbstractButton::clicked, this, &SidebarDialog::onShiftClicked);
    connect(m_ui->copyButton, &QAbstractButton::clicked, this, &SidebarDialog::onCopyClicked);
    connect(m_ui->cutButton, &QAbstractButton::clicked, this, &SidebarDialog::onCutClicked);
    connect(m_ui->pasteButton, &QAbstractButton::clicked, this, &SidebarDialog::onPasteClicked);
    connect(this, &SidebarDialog::hideSignal, this, &QWidget::hide);
    // A screen unplugged (or a primary screen that changed) would leave the toolbar where no
    // screen shows it, or larger than the screen it is on.
    ScreenGeometry::watchChanges(this, [this]() { onScreensChanged(); });
    retranslate();
}

void SidebarDialog::updateBaseSize()
{
    const float f = baseFactor(ScreenGeometry::current().primaryAvailable().size());
    m_baseHeight = int(float(FormHeight) * f);
    m_baseWidth = int(float(FormWidth) * f);
}

void SidebarDialog::onScreensChanged()
{
    // Qt tells of a change one screen at a time: the toolbar moves once they have all been told.
    if (m_screensChanging)
        return;
    m_screensChanging = true;
    QTimer::singleShot(0, this, [this]() {
        m_screensChanging = false;
        updateBaseSize();
        redock();
    });
}

SidebarDialog::~SidebarDialog()
{
    detach();
}

void SidebarDialog::attach(OrvixDirector* director)
{
    detach();
    qRegisterMetaType<DongleChangeMask>("DongleChangeMask");
    m_director = director;
    if (!director)
        return;
    m_connections
        << connect(director, &OrvixDirector::dongleUpdatedSignal, this, &SidebarDialog::onDongleUpdated)
        << connect(director, &OrvixDirector::headsetUpdatedSignal, this, &SidebarDialog::onHeadsetUpdated)
        << connect(director, &OrvixDirector::headsetStatusChangedSignal, this,
               &SidebarDialog::onHeadsetStatusChanged)
        << connect(director, &OrvixDirector::headsetChannelChangedSignal, this,
               &SidebarDialog::onHeadsetChannelChanged)
        << connect(director, &OrvixDirector::settingsChangedSignal, this, &SidebarDialog::onSettingsChanged);
    onSettingsChanged(director->settings());
    // Built after the start, the sidebar may meet a headset already there. One that runs was
    // found before, and no notice of its finding comes again.
    Headset* current = headset();
    onHeadsetUpdated(current, current ? HeadsetChangeMask::all : HeadsetChangeMask::lost);
    if (current && current->isRunning())
        onHeadsetUpdated(current, HeadsetChangeMask::found);
}

void SidebarDialog::detach()
{
    for (const QMetaObject::Connection& c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
    m_director = nullptr;
}

void SidebarDialog::show()
{
    if (m_director)
        onHeadsetUpdated(headset(), HeadsetChangeMask::all);
    // Minimised by the window manager ("show desktop" minimises every window), it comes back as
    // it was: it has no task-bar entry a person could bring it back with.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    QDialog::show();
    raise();
}

OrvixDirector* SidebarDialog::director() const
{
    return m_director;
}

Dongle* SidebarDialog::dongle() const
{
    return m_director ? m_director->dongle() : nullptr;
}

Headset* SidebarDialog::headset() const
{
    Dongle* d = dongle();
    return d ? d->headset() : nullptr;
}

Settings* SidebarDialog::settings() const
{
    return m_director ? m_director->settings() : nullptr;
}

void SidebarDialog::onDongleUpdated(Dongle*, DongleChangeMask) { }

void SidebarDialog::onSettingsChanged(Settings* settings)
{
    if (!settings)
        return;
    setScale(settings->sidebarScale());
    setOpacity(settings->sidebarOpacity());
    changeLayoutPosition(settings->sidebarHorizontal() ? Horizontal : Vertical);
}

void SidebarDialog::setScale(float scale)
{
    const float e = float(effectiveScale(scale));
    qDebug() << "Sidebar scale: " << e << " -> " << scale * 100 << "%";
    m_effectiveScale = e;
    setFixedSize(scaledSize());
    redock();
}

QSize SidebarDialog::scaledSize() const
{
    const int a = int(float(m_baseWidth) * m_effectiveScale);
    const int b = int(float(m_baseHeight) * m_effectiveScale);
    return m_layoutPosition == Horizontal ? QSize(b, a) : QSize(a, b);
}

void SidebarDialog::redock()
{
    switch (m_dockSide) {
    case Left:
        attachLeft();
        break;
    case Right:
        attachRight();
        break;
    case Top:
        attachTop();
        break;
    case Bottom:
        attachBottom();
        break;
    }
}

void SidebarDialog::setOpacity(float opacity)
{
    const double e = effectiveOpacity(opacity);
    qDebug() << "Sidebar opacity: " << e << " -> " << opacity * 100 << "%";
    // A fade still under way would end on the opacity it was started for, not this one; and
    // under the pointer a toolbar set to turn opaque there stays opaque.
    if (m_fade)
        m_fade->stop();
    Settings* s = settings();
    setWindowOpacity(m_pointerOver && s && s->sidebarOpaqueOnMouseOver() ? 1.0 : e);
}

void SidebarDialog::changeLayoutPosition(LayoutPosition position)
{
    if (m_layoutPosition == position)
        return;
    const bool horizontal = position == Horizontal;
    m_layoutPosition = horizontal ? Horizontal : Vertical;
    setFixedSize(height(), width());
    adjustSize();
    QBoxLayout* next = horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout) : new QVBoxLayout;
    next->setObjectName(horizontal ? QStringLiteral("horizontalLayout") : QStringLiteral("verticalLayout"));
    next->setContentsMargins(3, 3, 3, 3);
    next->setSpacing(3);
    QLayout* old = layout();
    while (QLayoutItem* item = old->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            if (item->controlTypes() & QSizePolicy::Line)
                if (auto* line = qobject_cast<QFrame*>(widget))
                    line->setFrameShape(horizontal ? QFrame::VLine : QFrame::HLine);
            next->addWidget(widget);
        }
        delete item;
    }
    delete old;
    setLayout(next);
    if (horizontal) {
        m_horizontalLayout = static_cast<QHBoxLayout*>(next);
        attachTop();
    } else {
        m_horizontalLayout = nullptr;
        m_ui->verticalLayout = static_cast<QVBoxLayout*>(next);
        attachLeft();
    }
}

void SidebarDialog::attachLeft()
{
    dock(Edge::Left);
}

void SidebarDialog::attachRight()
{
    dock(Edge::Right);
}

void SidebarDialog::attachTop()
{
    dock(Edge::Top);
}

void SidebarDialog::attachBottom()
{
    dock(Edge::Bottom);
}

void SidebarDialog::dock(Edge edge, const QRect* on)
{
    Settings* s = settings();
    const ScreenGeometry& screens = ScreenGeometry::current();
    const QRect area = s && s->sidebarStickedToPromaryScreen() ? screens.primaryAvailable()
        : on                                                   ? *on
                                                               : screens.availableAt(pos());
    // On a screen smaller than the primary one the strip is cut to the screen: no button is left
    // beyond its edges. Back on a larger screen it has its scaled size again.
    const QSize fitted = scaledSize().boundedTo(area.size());
    if (!fitted.isEmpty() && size() != fitted)
        setFixedSize(fitted);
    const int L = area.left();
    const int T = area.top();
    const int W = area.width();
    const int H = area.height();
    const int w = width();
    const int h = height();
    struct Target {
        QPoint point;
        const char* icon;
        DockSide side;
        const char* log;
    };
    const int middleY = T + int((H - h) * 0.5);
    const int middleX = L + int((W - w) * 0.5);
    Target t;
    switch (edge) {
    case Edge::Left:
        t = { QPoint(L, middleY), ":/sidebar/icons/icon_attach_right", Left, "MOVE LEFT DONE - LAMBDA" };
        break;
    case Edge::Right:
        t = { QPoint(area.right() - w + 1, middleY), ":/sidebar/icons/icon_attach_left", Right,
            "MOVE RIGHT DONE - LAMBDA" };
        break;
    case Edge::Top:
        t = { QPoint(middleX, T), ":/sidebar/icons/icon_attach_down", Top, "MOVE TOP DONE - LAMBDA" };
        break;
    case Edge::Bottom:
        t = { QPoint(middleX, area.bottom() - h + 1), ":/sidebar/icons/icon_attach_up", Bottom,
            "MOVE DOWN DONE - LAMBDA" };
        break;
    }
    animateTo(t.point, [this, t]() {
        qDebug("%s", t.log);
        m_ui->setLocationButton->setIcon(tintedIcon(QLatin1String(t.icon), kPassive));
        m_dockSide = t.side;
    });
}

void SidebarDialog::animateTo(QPoint& target, std::function<void()> done)
{
    int distance = std::abs(target.x() - pos().x());
    if (distance == 0)
        distance = std::abs(target.y() - pos().y());
    // One move at a time. Qt stops a move still under way when the next one starts, and a
    // stopped move never finishes: it would stay with the toolbar for the whole run, one more
    // for every step of a scale slider dragged. It is let go of here and completes nothing.
    if (m_move) {
        disconnect(m_move, nullptr, this, nullptr);
        m_move->stop();
        m_move->deleteLater();
    }
    auto* animation = new QPropertyAnimation(this, "pos", this); // dies with the toolbar if still running
    m_move = animation;
    animation->setDuration(int(distance / PixelsPerSecond * 1000.0));
    animation->setStartValue(pos());
    animation->setEndValue(target);
    // Connected before the start: a move of no length finishes inside start().
    connect(animation, &QAbstractAnimation::finished, this, std::move(done));
    connect(animation, &QAbstractAnimation::finished, animation, &QObject::deleteLater);
    animation->start();
}

void SidebarDialog::onSetLocationClicked()
{
    qDebug("setLocation clicked");
    switch (m_dockSide) {
    case Left:
        attachRight();
        break;
    case Right:
        attachLeft();
        break;
    case Top:
        attachBottom();
        break;
    case Bottom:
        attachTop();
        break;
    }
}

void SidebarDialog::onStatusClicked()
{
    emit statusIconAction();
}

void SidebarDialog::onKeyboardClicked()
{
    showKeyboardFailure(false);
    QPointer<SidebarDialog> self(this);
    VirtualKeyboard::showKeyboard([self](const QString&) {
        if (self)
            self->showKeyboardFailure(true);
    });
}

void SidebarDialog::showKeyboardFailure(bool failed)
{
    // The button keeps the failure's colour and says what went wrong until it is pressed again.
    if (failed == m_keyboardFailed)
        return;
    m_keyboardFailed = failed;
    m_ui->keyboardButton->setIcon(
        tintedIcon(QStringLiteral(":/sidebar/icons/icon_keyboard"), failed ? "statusErrorColor" : kPassive));
    retranslate();
}

void SidebarDialog::mousePressEvent(QMouseEvent* event)
{
    m_lastPos = event->screenPos().toPoint();
    if (event->buttons() & Qt::LeftButton)
        m_dragging = true;
}

void SidebarDialog::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->screenPos().toPoint();
    if (m_dragging)
        move(pos() + (p - m_lastPos));
    m_lastPos = p;
}

void SidebarDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragging = false;
    const QPoint p = event->screenPos().toPoint();
    const QRect area = ScreenGeometry::current().availableAt(p);
    // The nearer edge of the screen the pointer is let go on, and on that screen: the window's
    // corner may lie over the next screen, whose far edge is not the one chosen.
    Edge edge;
    if (m_dockSide > Right)
        edge = p.y() >= area.top() + area.height() / 2 ? Edge::Bottom : Edge::Top;
    else
        edge = p.x() >= area.left() + area.width() / 2 ? Edge::Right : Edge::Left;
    dock(edge, &area);
}

void SidebarDialog::enterEvent(QEvent* event)
{
    QDialog::enterEvent(event);
    m_pointerOver = true;
    Settings* s = settings();
    if (s && s->sidebarOpaqueOnMouseOver())
        fadeTo(1.0);
}

void SidebarDialog::leaveEvent(QEvent* event)
{
    QDialog::leaveEvent(event);
    m_pointerOver = false;
    Settings* s = settings();
    if (s && s->sidebarOpaqueOnMouseOver())
        fadeTo(effectiveOpacity(s->sidebarOpacity()));
}

void SidebarDialog::fadeTo(double opacity)
{
    // One fade at a time: the pointer leaving during the fade in ends on the opacity it leaves to.
    if (m_fade)
        m_fade->stop();
    auto* animation = new QPropertyAnimation(this, "windowOpacity", this);
    m_fade = animation;
    animation->setDuration(FadeMs);
    animation->setStartValue(windowOpacity());
    animation->setEndValue(opacity);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void SidebarDialog::hideEvent(QHideEvent* event)
{
    // A minimise by the window manager is spontaneous and brings the toolbar back as it was.
    if (!event->spontaneous())
        releaseHeldKeys(dongle(), headset());
    QDialog::hideEvent(event);
}

void SidebarDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void SidebarDialog::retranslate()
{
    setWindowTitle(tr("OrvixTools"));
    m_ui->keyboardButton->setToolTip(
        m_keyboardFailed ? tr("The on-screen keyboard did not start") : QString());
}
