#include "ui/toolkit/ProgressWidget.h"

#include <QEvent>
#include <QPainter>
#include <QResizeEvent>

namespace OX
{

namespace
{
const QColor VeilColor(0, 0, 0, 100);
constexpr int TwelveOClock = 1440; // sixteenths of a degree
constexpr int SpinnerSpan = -1152; // 72 degrees, clockwise
constexpr int FullCircle = 360 * 16;
constexpr int OuterPen = 5;
constexpr int InnerPen = 15;
constexpr int InnerInset = 20;
constexpr int TitleGap = 6; // between the title and the centre
constexpr int MessageGap = 5; // between the centre and the message
constexpr double SizeRatio = 0.7;
constexpr double FontRatio = 0.25;
constexpr double SmallTextRatio = 0.7;
} // namespace

ProgressWidget::ProgressWidget(QWidget* parent)
    : QWidget(parent)
{
    hide();
    if (parent) {
        parent->installEventFilter(this);
        resize(parent->size());
    }
    connect(&m_timer, &QTimer::timeout, this, &ProgressWidget::onFireTimer);
}

void ProgressWidget::start(const Progress::Context* context)
{
    m_context = context;
    if (!following()) {
        stop();
        return;
    }
    if (parentWidget())
        resize(parentWidget()->size()); // a parent resized while hidden reports it only when shown
    update();
    show();
    raise();
    // The spinner turns for as long as an operation without a known end is shown: one that
    // follows a Finite one without an end in between (a dongle plugged in while another starts)
    // must not stand still, as if the program hung. A spinner already turning goes on.
    if (m_context->flags.testFlag(Progress::Infinite) && !m_timer.isActive()) {
        if (!m_running)
            m_angle = 0;
        m_timer.start(SpinnerTickMs);
    }
    m_running = true;
}

void ProgressWidget::stop()
{
    m_context = nullptr; // its owner may delete it from now on
    m_running = false;
    m_timer.stop();
    hide();
}

bool ProgressWidget::following() const
{
    return m_context && m_context->flags != Progress::None;
}

void ProgressWidget::onFireTimer()
{
    m_angle += SpinnerStepDegrees;
    while (m_angle > 360.0)
        m_angle -= 360.0;
    update();
}

int ProgressWidget::percent() const
{
    if (!m_context || !(m_context->value > 0)) // none, negative or not a number
        return 0;
    return int(qMin(m_context->value, 1.0) * 100);
}

QString ProgressWidget::percentText() const
{
    return QStringLiteral("%1%").arg(percent());
}

int ProgressWidget::finiteSpan() const
{
    return -int(percent() / 100.0 * FullCircle);
}

bool ProgressWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        resize(static_cast<QResizeEvent*>(event)->size());
    return QWidget::eventFilter(watched, event);
}

ProgressWidget::Layout ProgressWidget::layout() const
{
    Layout l;
    l.cx = int(width() * 0.5);
    l.cy = int(height() * 0.5);
    l.side = int(qMin(width() * SizeRatio, height() * SizeRatio));
    l.r = (l.side - 10) / 2;
    return l;
}

void ProgressWidget::paintEvent(QPaintEvent*)
{
    if (!following())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), VeilColor);
    const Layout l = layout();
    const Progress::Flags flags = m_context->flags;
    paintRings(p, l, flags);
    paintTexts(p, l, flags);
}

void ProgressWidget::paintRings(QPainter& p, const Layout& l, Progress::Flags flags)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    const int spin = int(m_angle * 16);
    if (flags.testFlag(Progress::Infinite)) {
        const QRect outer(l.cx - l.r, l.cy - l.r, l.side - 10, l.side - 10);
        p.setPen(QPen(Qt::darkGray, OuterPen));
        p.drawEllipse(outer);
        p.setPen(QPen(Qt::white, OuterPen));
        p.drawArc(outer, TwelveOClock + spin, SpinnerSpan);
    }
    const QRect inner(
        l.cx - l.r + InnerInset, l.cy - l.r + InnerInset, 2 * l.r - 2 * InnerInset, 2 * l.r - 2 * InnerInset);
    p.setPen(QPen(Qt::darkGray, InnerPen));
    p.drawEllipse(inner);
    p.setPen(QPen(Qt::white, InnerPen));
    if (flags.testFlag(Progress::Finite))
        p.drawArc(inner, TwelveOClock, finiteSpan());
    else
        p.drawArc(inner, TwelveOClock - spin, SpinnerSpan);
    p.restore();
}

void ProgressWidget::paintTexts(QPainter& p, const Layout& l, Progress::Flags flags)
{
    p.save();
    p.setPen(Qt::white);
    QFont font = p.font();
    const int pixels = qMax(1, int(l.r * FontRatio));
    font.setPixelSize(pixels);
    p.setFont(font);
    const QRect above(QPoint(l.cx - l.r, l.cy - l.r), QPoint(l.cx + l.r, l.cy - TitleGap));
    const QRect below(QPoint(l.cx - l.r, l.cy + MessageGap), QPoint(l.cx + l.r, l.cy + l.r));
    const bool finite = flags.testFlag(Progress::Finite);
    const QString& title = m_context->title;
    const QString& message = m_context->message;
    QString second;
    if (!message.isNull())
        second = message;
    else if (finite)
        second = percentText();

    // A title or message wider than the ring breaks into lines rather than losing its ends.
    if (second.isNull()) {
        p.drawText(QRect(l.cx - l.r, l.cy - l.r, l.side - 10, l.side - 10),
            Qt::AlignCenter | Qt::TextWordWrap, title);
    } else {
        p.drawText(above, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap, title);
        font.setPixelSize(qMax(1, int(pixels * SmallTextRatio)));
        p.setFont(font);
        p.drawText(below, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, second);
    }
    p.restore();
}

} // namespace OX
