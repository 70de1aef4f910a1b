#include "ui/shell/CrossWindow.h"

#include "app/OrvixDirector.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>

CrossWindow::CrossWindow(QWidget* parent, OrvixDirector* director)
    : QWidget(parent,
              Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput
                  | Qt::WindowDoesNotAcceptFocus)
    , m_director(director)
    , m_tick(new QTimer(this))
    , m_countdown(new QVariantAnimation(this))
    , m_fade(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("CrossWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_tick->setInterval(m_tickInterval);
    connect(m_tick, &QTimer::timeout, this, &CrossWindow::onTick);
    connect(m_countdown, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_displayed = value.toInt();
        update();
    });
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_opacity = value.toDouble();
        update();
    });
}

CrossWindow::~CrossWindow() = default;

void CrossWindow::setDirector(OrvixDirector* director)
{
    m_director = director;
}

void CrossWindow::setTickInterval(int ms)
{
    m_tickInterval = ms > 0 ? ms : 1;
    m_tick->setInterval(m_tickInterval);
}

void CrossWindow::runCrossView(bool visual, int milliseconds, std::function<void()> done)
{
    abortCrossView();
    m_done = std::move(done);
    m_remaining = milliseconds;
    m_total = milliseconds > 0 ? milliseconds : 0;
    m_displayed = m_total;
    m_visual = visual;
    if (visual) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->geometry());
        const int duration = int(qint64(m_total) * m_tickInterval / TickMs);
        m_countdown->setStartValue(m_total);
        m_countdown->setEndValue(0);
        m_countdown->setDuration(duration > 0 ? duration : 1);
        m_fade->setStartValue(0.0);
        m_fade->setEndValue(1.0);
        m_fade->setDuration(qMax(1, m_tickInterval / 4));
        show();
        raise();
        m_countdown->start();
        m_fade->start();
    }
    m_tick->start(m_tickInterval);
}

void CrossWindow::abortCrossView()
{
    if (m_visual) {
        m_countdown->stop();
        m_fade->stop();
        hide();
    }
    m_tick->stop();
    m_done = nullptr;
}

bool CrossWindow::isRunning() const
{
    return m_tick->isActive() || isVisible();
}

void CrossWindow::onTick()
{
    const int was = m_remaining;
    m_remaining -= TickMs;
    if (was > TickMs)
        return;
    m_tick->stop();
    if (m_visual) {
        m_countdown->stop();
        m_fade->stop();
        hide();
    }
    emit applySignal();
    // Taken first: the completion may start a new countdown.
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done();
}

void CrossWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    painter.fillRect(rect(), QColor(0, 0, 0, 60));

    const QPoint c = rect().center();
    const int arm = qMin(width(), height()) / 8;
    QPen pen(QColor(0x2C, 0xB5, 0xE6), 3);
    painter.setPen(pen);
    painter.drawLine(c - QPoint(arm, 0), c + QPoint(arm, 0));
    painter.drawLine(c - QPoint(0, arm), c + QPoint(0, arm));

    // The countdown: an arc shrinking to nothing and the seconds left.
    const QRect ring(c - QPoint(arm / 2, arm / 2), QSize(arm, arm));
    const double left = m_total > 0 ? double(m_displayed) / double(m_total) : 0.0;
    painter.drawArc(ring, 90 * 16, int(-360 * 16 * left));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(qMax(10, arm / 6));
    painter.setFont(font);
    const int seconds = (m_displayed + TickMs - 1) / TickMs;
    painter.drawText(QRect(c + QPoint(-arm, arm / 2 + 8), QSize(2 * arm, arm / 3)), Qt::AlignCenter,
                     QString::number(seconds));
}
