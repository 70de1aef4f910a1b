#include "ui/toolkit/OpenGLView.h"

#include "ui/toolkit/OpenGLViewGl.h"
#include "ui/toolkit/Skin.h"

#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace OX
{

namespace
{

// A change of pose that moves no point of the model this far, in device pixels, is not drawn.
constexpr float VisibleShift = 0.5f;
// Pixels kept around the model's projected vertices when only its area is drawn again.
constexpr int BoundsMargin = 2;
// A reported orientation shorter than this is no turn (the headset gives 1/16384 steps).
constexpr float MinimumQuaternionLength = 1.0f / 1024.0f;
// Nearer to the camera than this, a vertex's projection grows past any pixel count.
constexpr float ReachedDistance = 1.0f;

QMatrix4x4 rotationOf(QQuaternion const& q)
{
    QMatrix4x4 m;
    m.rotate(q);
    return m;
}

} // namespace

OpenGLView::OpenGLView(QWidget* parent)
    : OpenGLView(QString::fromLatin1(Gl::ShippedPath), QString::fromLatin1(Gl::ShippedName), parent)
{
}

OpenGLView::OpenGLView(QString const& path, QString const& name, QWidget* parent)
    : QWidget(parent)
    , m_source(path + name)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted
    m_mesh.load(path, name); // a model that cannot be read leaves the view showing its background
    for (QVector3D const& position : m_mesh.positions())
        m_meshRadius = qMax(m_meshRadius, position.length());
}

OpenGLView::~OpenGLView()
{
    cleanup();
}

QSize OpenGLView::sizeHint() const
{
    return QSize(PreferredSide, PreferredSide);
}

QSize OpenGLView::minimumSizeHint() const
{
    return QSize(MinimumSide, MinimumSide);
}

QOpenGLContext* OpenGLView::context() const
{
    return m_gl ? m_gl->context.get() : nullptr;
}

void OpenGLView::setOrientation(QQuaternion const& orientation)
{
    // Only a turn is shown: a quaternion that is not of length 1 would also stretch the model, and
    // one of length 0 or not finite gives no turn at all: the model keeps its pose.
    float const length = orientation.length();
    if (!std::isfinite(length) || length < MinimumQuaternionLength)
        return;
    QQuaternion const q = orientation / length;
    QMatrix4x4 const rotation = rotationOf(q);
    if (!m_reference)
        m_reference = std::make_unique<QMatrix4x4>(rotation);
    m_model = m_reference->inverted() * rotation;
    if (movedVisibly()) {
        m_frameStale = true;
        update(widgetArea(changedArea(devicePixels())));
    }
}

bool OpenGLView::movedVisibly() const
{
    // A point p of the model moves by |(model - drawn) p| <= |model - drawn| |p|, the matrix
    // norm bounded by the Frobenius norm of the rotations' difference.
    float squares = 0.0f;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            float const d = m_model(row, column) - m_drawnModel(row, column);
            squares += d * d;
        }
    float const nearest = qMax(1.0f, CameraDistance - m_meshRadius);
    float const pixelsPerUnit = float(height() * devicePixelRatioF())
        / (2.0f * nearest * std::tan(qDegreesToRadians(FieldOfView / 2.0f)));
    return std::sqrt(squares) * m_meshRadius * pixelsPerUnit >= VisibleShift;
}

void OpenGLView::resetOrientation()
{
    m_reference.reset();
}

void OpenGLView::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    m_reference.reset();
    if (!active)
        setOrientation(QQuaternion());
    m_frameStale = true;
    update();
}

void OpenGLView::cleanup()
{
    if (!m_gl)
        return; // nothing was made, or it is already freed
    m_gl.reset();
    m_reference.reset();
    m_frameStale = true;
    m_framePixels = QSize(); // nothing drawn is kept: the next drawing is a whole picture
}

void OpenGLView::simulateContextLoss()
{
    if (!m_gl)
        return;
    m_gl->context->doneCurrent();
    m_gl->surface->destroy();
}

bool OpenGLView::makeContext()
{
    if (m_gl)
        return true;
    if (m_contextFailed)
        return false;
    m_gl = Preparation::take(m_source);
    if (!m_gl)
        m_gl = Gl::make(m_mesh);
    if (!m_gl) {
        qWarning("The 3D headset view has no OpenGL: it shows its background only");
        m_contextFailed = true;
        return false;
    }
    return true;
}

QSize OpenGLView::devicePixels() const
{
    return (QSizeF(size()) * devicePixelRatioF()).toSize().expandedTo(QSize(1, 1));
}

QColor OpenGLView::background()
{
    return Skin::color(QStringLiteral("pageBackgroundColor"));
}

QRect OpenGLView::modelBounds(QMatrix4x4 const& model, QSize const& pixels) const
{
    // A model reaching within ReachedDistance of the camera (only a damaged file: the shipped one is
    // far smaller) may cover any pixel, and its vertices' projections bound nothing.
    if (!(m_meshRadius < CameraDistance - ReachedDistance))
        return QRect(QPoint(0, 0), pixels);
    QMatrix4x4 const clip = Gl::projection(pixels) * Gl::camera() * Gl::world() * model;
    float left = float(pixels.width()), right = 0.0f, bottom = float(pixels.height()), top = 0.0f;
    for (QVector3D const& position : m_mesh.positions()) {
        QVector3D const p = clip.map(position); // normalised device coordinates
        float const x = (p.x() + 1.0f) * 0.5f * float(pixels.width());
        float const y = (p.y() + 1.0f) * 0.5f * float(pixels.height());
        left = qMin(left, x);
        right = qMax(right, x);
        bottom = qMin(bottom, y);
        top = qMax(top, y);
    }
    if (left > right)
        return QRect(); // nothing to draw
    QRect const bounds(QPoint(int(std::floor(left)) - BoundsMargin, int(std::floor(bottom)) - BoundsMargin),
        QPoint(int(std::ceil(right)) + BoundsMargin, int(std::ceil(top)) + BoundsMargin));
    return bounds.intersected(QRect(QPoint(0, 0), pixels));
}

QRect OpenGLView::currentBounds(QSize const& pixels)
{
    if (pixels != m_boundsPixels || m_model != m_boundsModel) {
        m_bounds = modelBounds(m_model, pixels);
        m_boundsPixels = pixels;
        m_boundsModel = m_model;
    }
    return m_bounds;
}

QRect OpenGLView::changedArea(QSize const& pixels)
{
    if (m_framePixels != pixels || m_drawnBackground != background())
        return QRect(QPoint(0, 0), pixels);
    return currentBounds(pixels) | m_drawnBounds;
}

QRect OpenGLView::widgetArea(QRect const& area) const
{
    qreal const ratio = devicePixelRatioF();
    int const flipped = devicePixels().height() - area.y() - area.height();
    return QRectF(area.x() / ratio, flipped / ratio, area.width() / ratio, area.height() / ratio)
        .toAlignedRect();
}

void OpenGLView::render()
{
    m_frameStale = false;
    if (!makeContext())
        return;
    if (!m_gl->makeCurrent()) {
        // Lost: everything made with it goes, and a new context is made and drawn whole; the
        // head's reference stays.
        qWarning("The 3D headset view lost its OpenGL context: it makes a new one");
        m_gl.reset();
        m_framePixels = QSize();
        if (!makeContext())
            return;
    }
    QSize const pixels = devicePixels();
    QColor const colour = background();
    bool const newFrame = m_framePixels != pixels || m_drawnBackground != colour;
    if (newFrame) {
        m_framePixels = pixels;
        m_drawnBackground = colour;
        m_drawnBounds = QRect();
        m_drawnArea = QRect();
        m_gl->makeCurrent();
        m_gl->target.reset(); // made again at the size the model needs
    }
    // Outside the model's last and new bounds both pictures are background: only that area is drawn.
    QRect const bounds = currentBounds(pixels);
    QRect const area = bounds | m_drawnBounds;
    m_drawnModel = m_model;
    m_drawnBounds = bounds;
    if (area.isEmpty())
        return;
    if (!m_gl->drawArea(area, pixels, Gl::Look { m_model, m_active, colour })) {
        // Nothing could be drawn: the picture is the background, not whatever the window held
        // there.
        m_drawnBounds = QRect();
        m_drawnArea = QRect();
        return;
    }
    m_drawnArea = QRect(area.x(), pixels.height() - area.y() - area.height(), area.width(), area.height());
}

QImage OpenGLView::picture()
{
    if (!m_gl)
        return QImage();
    QImage image(m_framePixels, QImage::Format_RGB32);
    if (image.isNull())
        return QImage(); // a view too large for a picture in memory
    image.fill(m_drawnBackground);
    if (!m_drawnArea.isEmpty())
        m_gl->read(QRect(QPoint(0, 0), m_drawnArea.size()),
            image.scanLine(m_drawnArea.y()) + m_drawnArea.x() * 4, image.bytesPerLine());
    image.setDevicePixelRatio(devicePixelRatioF());
    return image;
}

QImage OpenGLView::grabFramebuffer()
{
    render();
    return picture();
}

void OpenGLView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Shown, the view has its size: the GL set-up and the first drawing are done now, before a
    // slide brings the page in, rather than in the middle of the slide's frames.
    if (m_frameStale || m_framePixels != devicePixels())
        render();
}

void OpenGLView::paintEvent(QPaintEvent* event)
{
    if (m_frameStale || m_framePixels != devicePixels() || (m_gl && !m_gl->makeCurrent()))
        render();
    QPainter painter(this);
    QRegion drawn;
    if (m_gl && !m_drawnArea.isEmpty()) {
        qreal const ratio = devicePixelRatioF();
        drawn = QRectF(m_drawnArea.x() / ratio, m_drawnArea.y() / ratio, m_drawnArea.width() / ratio,
            m_drawnArea.height() / ratio)
                    .toAlignedRect();
    }
    for (QRect const& rect : event->region().subtracted(drawn))
        painter.fillRect(rect, background());
    paintDrawing(painter, event->region().intersected(drawn));
}

void OpenGLView::paintDrawing(QPainter& painter, QRegion const& region)
{
    if (region.isEmpty())
        return;
    // The window's picture, as the painter has it, when it can take OpenGL's rows as they are.
    QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    auto* image = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    QTransform const transform = painter.deviceTransform();
    QPoint const offset(qRound(transform.dx()), qRound(transform.dy()));
    bool const direct = image && devicePixelRatioF() == 1.0 && transform.type() <= QTransform::TxTranslate
        && QPointF(offset) == QPointF(transform.dx(), transform.dy())
        && (image->format() == QImage::Format_RGB32
            || image->format() == QImage::Format_ARGB32_Premultiplied);
    if (!direct) {
        QImage const whole = picture();
        for (QRect const& rect : region)
            painter.drawImage(rect, whole, rect);
        return;
    }
    // Only what the painter may paint: its system clip, in the picture's pixels, where it has one.
    QRegion to(region.translated(offset));
    QRegion const clip = painter.paintEngine()->systemClip();
    if (!clip.isEmpty())
        to &= clip;
    to &= image->rect();
    for (QRect const& part : to) {
        QRect const source = part.translated(-offset - m_drawnArea.topLeft());
        m_gl->read(source, image->scanLine(part.y()) + part.x() * 4, image->bytesPerLine());
    }
}

} // namespace OX
