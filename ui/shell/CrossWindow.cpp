#include "ui/shell/CrossWindow.h"
#include "ui_CrossWindow.h"

#include "app/OrvixDirector.h"
#include "ui/shell/NativeWindow.h"
#include "ui/shell/ScreenGeometry.h"
#include "ui/toolkit/OXCrossView.h"

#include <QBitmap>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QTime>
#include <QTimer>

namespace
{

// Where each bracket starts and ends a pass (its top-left corner in the scene): the four frame
// the square (250, 250)-(750, 750), then their vertices meet at the centre.
struct MarkerPath {
    QPointF start;
    QPointF end;
};
const MarkerPath kMarkerPaths[4] = {
    { { 150, 150 }, { 400, 400 } },
    { { 750, 150 }, { 500, 400 } },
    { { 150, 750 }, { 400, 500 } },
    { { 750, 750 }, { 500, 500 } },
};

const QPointF kTextPosition(550, 400);
constexpr int kTextPointSize = 50;
// The band kept around each drawn line when the window is shaped: the 4-pixel pen covers two
// pixels before the line and one after it.
constexpr int kShapeBefore = 2;
constexpr int kShapeAfter = 1;

QPen redPen()
{
    QPen pen(QBrush(Qt::red), CrossWindow::LineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    pen.setCosmetic(true);
    return pen;
}

QRect band(const QLine& line)
{
    return QRect(line.p1(), line.p2())
        .normalized()
        .adjusted(-kShapeBefore, -kShapeBefore, kShapeAfter, kShapeAfter);
}

} // namespace

CrossWindow::CrossWindow(QWidget* parent, OrvixDirector* director)
    : QMainWindow(parent,
        Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
            | Qt::CustomizeWindowHint
            // Linux: clicks pass through to the window beneath, the focus stays there.
            | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , m_director(director)
    , m_ui(std::make_unique<Ui::CrossWindow>())
    , m_tick(new QTimer(this))
    , m_scene(new QGraphicsScene(0, 0, SceneSize, SceneSize, this))
    , m_text(new QGraphicsSimpleTextItem)
    , m_countdown(new QPropertyAnimation(this, "duration", this))
    , m_markerAnimations(new QParallelAnimationGroup(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Closing the overlay is no reason for the application to end, even with its other windows
    // hidden.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_ui->setupUi(this);
    // Not a window a person switches to: no task-bar or switcher entry.
    NativeWindow::keepOffTaskbar(this);
    setStyleSheet(
        QStringLiteral("QMainWindow#CrossWindow, QWidget#centralwidget { background: transparent; }"));

    QGraphicsView* view = m_ui->graphicsView;
    view->setScene(m_scene);
    view->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setStyleSheet(QStringLiteral("background: transparent"));
    view->setFrameStyle(QFrame::NoFrame);

    QFont font(QStringLiteral("Times"), kTextPointSize, QFont::Bold, false);
    m_text->setFont(font);
    m_text->setPos(kTextPosition);
    m_text->setText(QStringLiteral("00:00:00"));
    m_text->setBrush(QBrush(Qt::red));
    m_scene->addItem(m_text);

    for (int side = 0; side < 4; ++side) {
        auto* marker = new OXCrossView(OXCrossView::Side(side));
        m_scene->addItem(marker);
        marker->setPos(kMarkerPaths[side].start);
        m_markers[side] = marker;
        auto* animation = new QPropertyAnimation(marker, "geometry", m_markerAnimations);
        animation->setDuration(PassTimeMs);
        animation->setEasingCurve(QEasingCurve::Linear);
        animation->setStartValue(
            QRectF(kMarkerPaths[side].start, QSizeF(OXCrossView::Size, OXCrossView::Size)));
        animation->setEndValue(QRectF(kMarkerPaths[side].end, QSizeF(OXCrossView::Size, OXCrossView::Size)));
        m_markerAnimations->addAnimation(animation);
        if (side == OXCrossView::BottomRight) {
            connect(animation, &QAbstractAnimation::finished, this, &CrossWindow::animationFinished);
            connect(animation, &QVariantAnimation::valueChanged, this, &CrossWindow::updateFrame);
        }
    }
    m_markerAnimations->setLoopCount(-1);

    m_countdown->setStartValue(3000);
    m_countdown->setEndValue(0);
    m_countdown->setDuration(PassTimeMs);
    m_tick->setTimerType(Qt::PreciseTimer);

    connect(m_tick, &QTimer::timeout, this, &CrossWindow::onTimerTimeout);
    connect(m_countdown, &QAbstractAnimation::finished, this, &CrossWindow::onTimeout);
    ScreenGeometry::watchChanges(this, [this]() { onScreensChanged(); });
}

CrossWindow::~CrossWindow() = default;

void CrossWindow::setTickInterval(int ms)
{
    m_tickInterval = ms > 0 ? ms : 1;
}

void CrossWindow::runCrossView(bool show, int time, std::function<void()> done)
{
    // A run under way ends here, without its completion (it would otherwise leave the overlay
    // up or complete a second time).
    abortCrossView();
    m_done = std::move(done);
    m_shown = show;
    m_remaining = qMax(0, time);
    m_running = true;
    if (!show) {
        m_tick->start(m_tickInterval);
        return;
    }
    m_countdown->setDuration(m_remaining);
    m_countdown->setStartValue(m_remaining);
    m_countdown->setEndValue(0);
    m_countdown->setEasingCurve(QEasingCurve::Linear);
    m_countdown->start(); // a count of 0 completes right here
    if (!m_running)
        return;
    fitToScreen();
    m_shaped = !NativeWindow::hasCompositingManager();
    if (!m_shaped)
        clearMask();
    QMainWindow::show();
    updateFrame();
}

void CrossWindow::fitToScreen()
{
    const QRect screen = ScreenGeometry::current().primaryGeometry();
    setFixedSize(screen.size());
    move(screen.topLeft());
}

void CrossWindow::onScreensChanged()
{
    // Left where the screen was, the crosshair would count down where no one sees it.
    if (isVisible())
        fitToScreen();
}

void CrossWindow::abortCrossView()
{
    m_running = false;
    if (m_shown) {
        m_markerAnimations->stop();
        m_countdown->stop();
        hide();
    }
    m_tick->stop();
    m_done = nullptr;
}

bool CrossWindow::isRunning() const
{
    return m_tick->isActive() || isVisible();
}

void CrossWindow::onTimerTimeout()
{
    playFeedback();
    const int before = m_remaining;
    m_remaining -= TickMs;
    if (before > TickMs)
        return;
    complete();
}

void CrossWindow::onTimeout()
{
    complete();
}

void CrossWindow::animationFinished()
{
    playFeedback();
}

void CrossWindow::complete()
{
    if (!m_running)
        return;
    m_running = false;
    m_tick->stop();
    if (m_shown) {
        m_countdown->stop();
        hide();
    }
    emit applySignal();
    // Taken first: the completion may start the next run.
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done();
}

void CrossWindow::playFeedback()
{
    if (m_director)
        m_director->playAudioFeedback();
}

QString CrossWindow::countdownText(int ms)
{
    return QTime(0, 0).addMSecs(qMax(0, ms)).toString(QStringLiteral("mm:ss:zzz")).left(8);
}

void CrossWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(redPen());
    const int w = width();
    const int h = height();
    painter.drawLine(w / 2, 0, w / 2, h);
    painter.drawLine(0, h / 2, w, h / 2);
}

void CrossWindow::closeEvent(QCloseEvent* event)
{
    // Closed from outside (the window manager): the count ends unseen, so it never zeroes.
    abortCrossView();
    QMainWindow::closeEvent(event);
}

void CrossWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    m_markerAnimations->stop();
    m_markerAnimations->start();
}

void CrossWindow::hideEvent(QHideEvent* event)
{
    m_markerAnimations->stop();
    QMainWindow::hideEvent(event);
}

void CrossWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // On a screen lower (or narrower) than the scene the view shows the scene's middle, so that
    // the brackets still meet at the crosshair.
    m_ui->graphicsView->centerOn(SceneSize / 2.0, SceneSize / 2.0);
    updateShape();
}

void CrossWindow::updateFrame()
{
    // The text and the shape of one frame agree: the shape is cut around the text about to be
    // painted, never around the one before.
    const QString text = countdownText(m_remaining);
    if (m_text->text() != text)
        m_text->setText(text);
    updateShape();
}

void CrossWindow::updateShape()
{
    if (!m_shaped || !isVisible())
        return;
    const int w = width();
    const int h = height();
    QRegion shape;
    shape += band(QLine(w / 2, 0, w / 2, h));
    shape += band(QLine(0, h / 2, w, h / 2));
    QGraphicsView* view = m_ui->graphicsView;
    const auto toWindow = [&](const QPointF& scenePoint) {
        return view->viewport()->mapTo(this, view->mapFromScene(scenePoint));
    };
    for (const OXCrossView* marker : m_markers)
        for (const QLine& edge : OXCrossView::edges(marker->side()))
            shape += band(QLine(toWindow(marker->pos() + edge.p1()), toWindow(marker->pos() + edge.p2())));
    // The text by its glyphs: a box around it would show black.
    const QRectF text = m_text->boundingRect();
    QImage glyphs(text.size().toSize() + QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    {
        QPainter painter(&glyphs);
        painter.setFont(m_text->font());
        painter.setPen(Qt::red);
        painter.drawText(QRectF(QPointF(0, 0), text.size()), Qt::AlignLeft | Qt::AlignTop, m_text->text());
    }
    shape += QRegion(QBitmap::fromImage(glyphs.createAlphaMask())).translated(toWindow(m_text->scenePos()));
    setMask(shape);
}
