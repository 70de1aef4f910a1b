#include "ui/toolkit/OpenGLView.h"

#include "ui/toolkit/GLMeshPart.h"
#include "ui/toolkit/SharedGlContext.h"
#include "ui/toolkit/Skin.h"

#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QPaintEvent>
#include <QPainter>
#include <QtDebug>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace OX
{

namespace
{

// Shading language of OpenGL 2.0 and OpenGL ES 2.0: no version line, attributes and varyings.
// 20 % ambient and 80 % diffuse light from a point light, worked out per vertex: the light and the
// normals turn with the model, so a vertex's light does not change with the pose, and the pixels
// between are interpolated (with the software rasteriser the cost is per pixel).
char const* const VertexShader = R"(
attribute vec4 vertex;
attribute vec3 normal;
attribute vec2 uv;
varying float light;
varying vec2 texCoord;
uniform mat4 projMatrix;
uniform mat4 mvMatrix;
uniform mat3 normalMatrix;
uniform vec3 lightPos;
void main() {
    vec3 L = normalize(lightPos - vertex.xyz);
    light = 0.2 + 0.8 * max(dot(normalize(normalMatrix * normal), L), 0.0);
    texCoord = uv;
    gl_Position = projMatrix * mvMatrix * vertex;
}
)";

// A textured part is black and shows its texture, an untextured one its colour. The colour is
// written in the byte order of QImage::Format_RGB32, so that the picture is read back as it is
// painted.
char const* const FragmentShader = R"(
varying mediump float light;
varying highp vec2 texCoord;
uniform highp vec4 color;
uniform bool textured;
uniform sampler2D texture;
void main() {
    mediump vec3 rgb = color.rgb;
    if (textured)
        rgb += texture2D(texture, texCoord).rgb;
    gl_FragColor = vec4(clamp(rgb * light, 0.0, 1.0), 1.0).PIXEL_ORDER;
}
)";

// The channels of a QImage::Format_RGB32 pixel, as they lie in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
char const* const PixelOrder = "#define PIXEL_ORDER bgra\n";
#else
char const* const PixelOrder = "#define PIXEL_ORDER argb\n";
#endif

constexpr int VertexAttribute = 0;
constexpr int NormalAttribute = 1;
constexpr int UvAttribute = 2;
constexpr float NearPlane = 0.01f;
constexpr float FarPlane = 100.0f;
QVector3D const LightPosition(0.0f, 0.0f, 70.0f);
// A change of pose that moves no point of the model this far, in device pixels, is not drawn.
constexpr float VisibleShift = 0.5f;
// Pixels kept around the model's projected vertices when only its area is drawn again.
constexpr int BoundsMargin = 2;
// The side of the drawing target grows in steps of this many pixels.
constexpr int TargetStep = 64;

QMatrix4x4 rotationOf(QQuaternion const& q)
{
    QMatrix4x4 m;
    m.rotate(q);
    return m;
}

} // namespace

OpenGLView::OpenGLView(QWidget* parent)
    : OpenGLView(QStringLiteral(":/3D/"), QStringLiteral("headset.obj"), parent)
{
}

OpenGLView::OpenGLView(QString const& path, QString const& name, QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted
    m_camera.translate(0.0f, 0.0f, -CameraDistance);
    // Together a half turn about the vertical: the model's front (-z) faces the camera.
    m_world.rotate(180.0f, 1.0f, 0.0f, 0.0f);
    m_world.rotate(180.0f, 0.0f, 0.0f, 1.0f);
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

void OpenGLView::setOrientation(QQuaternion const& q)
{
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

void OpenGLView::setupVertexAttribs(QOpenGLBuffer& buffer)
{
    constexpr int stride = MeshPart::FloatsPerVertex * sizeof(GLfloat);
    buffer.bind();
    glEnableVertexAttribArray(VertexAttribute);
    glEnableVertexAttribArray(NormalAttribute);
    glEnableVertexAttribArray(UvAttribute);
    glVertexAttribPointer(VertexAttribute, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glVertexAttribPointer(
        NormalAttribute, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(3 * sizeof(GLfloat)));
    glVertexAttribPointer(
        UvAttribute, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(6 * sizeof(GLfloat)));
    buffer.release();
}

void OpenGLView::cleanup()
{
    if (!m_program && m_parts.isEmpty() && !m_target)
        return; // nothing was made, or it is already freed
    m_context->makeCurrent(m_surface.get());
    m_program.reset();
    qDeleteAll(m_parts);
    m_parts.clear();
    m_target.reset();
    m_context->doneCurrent();
    m_reference.reset();
    m_frameStale = true;
}

bool OpenGLView::makeContext()
{
    if (m_context)
        return true;
    if (m_contextFailed)
        return false;
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(QSurfaceFormat::defaultFormat());
    auto surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(context->format());
    bool const made = SharedGlContext::withSoftwareGlSetting([&context, &surface] {
        return context->create() && (surface->create(), surface->isValid())
            && context->makeCurrent(surface.get());
    });
    if (!made) {
        qWarning("The 3D headset view has no OpenGL: it shows its background only");
        m_contextFailed = true;
        return false;
    }
    m_context = std::move(context);
    m_surface = std::move(surface);
    initializeGL();
    m_context->doneCurrent();
    return true;
}

QSize OpenGLView::devicePixels() const
{
    return (QSizeF(size()) * devicePixelRatioF()).toSize().expandedTo(QSize(1, 1));
}

QMatrix4x4 OpenGLView::projection(QSize const& pixels)
{
    QMatrix4x4 m;
    m.perspective(FieldOfView, GLfloat(pixels.width()) / GLfloat(pixels.height()), NearPlane, FarPlane);
    return m;
}

QColor OpenGLView::background()
{
    return Skin::color(QStringLiteral("pageBackgroundColor"));
}

QRect OpenGLView::modelBounds(QMatrix4x4 const& model, QSize const& pixels) const
{
    QMatrix4x4 const clip = projection(pixels) * m_camera * m_world * model;
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
    if (m_frame.size() != pixels || m_drawnBackground != background())
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
    QSize const pixels = devicePixels();
    QColor const colour = background();
    bool const newFrame = m_frame.size() != pixels || m_drawnBackground != colour;
    if (newFrame) {
        m_frame = QImage(pixels, QImage::Format_RGB32);
        m_frame.fill(colour);
        m_frame.setDevicePixelRatio(devicePixelRatioF());
        m_drawnBackground = colour;
        m_drawnBounds = QRect();
    }
    // Outside the model's last and new bounds both pictures are background: only that area is drawn.
    QRect const bounds = currentBounds(pixels);
    QRect const area = bounds | m_drawnBounds;
    m_drawnModel = m_model;
    m_drawnBounds = bounds;
    if (area.isEmpty() && !newFrame)
        return;
    // The context stays current between drawings: making it current again costs the driver a
    // flush and a look-up of the surface at every pose.
    if (QOpenGLContext::currentContext() != m_context.get())
        m_context->makeCurrent(m_surface.get());
    if (newFrame)
        m_target.reset(); // made again at the size the model needs
    if (!area.isEmpty())
        drawArea(area, pixels);
}

void OpenGLView::drawArea(QRect const& area, QSize const& pixels)
{
    if (!m_target || m_target->width() < area.width() || m_target->height() < area.height()) {
        // Grown in steps, so that a model turning into a little more room does not make a new one.
        auto step = [](int n) { return (n + TargetStep - 1) / TargetStep * TargetStep; };
        QSize size(step(area.width()), step(area.height()));
        if (m_target)
            size = size.expandedTo(m_target->size());
        size = size.boundedTo(pixels);
        m_target = std::make_unique<QOpenGLFramebufferObject>(
            size, QOpenGLFramebufferObject::CombinedDepthStencil);
    }
    m_target->bind();
    // The picture is drawn upside down, so that OpenGL's rows, which go upwards, come out in the
    // picture's order: its row top is the target's first. The view's whole picture is placed so
    // that the area's corner falls on the target's.
    int const top = pixels.height() - area.y() - area.height();
    glViewport(-area.x(), -top, pixels.width(), pixels.height());
    QMatrix4x4 upsideDown;
    upsideDown.scale(1.0f, -1.0f, 1.0f);
    m_proj = upsideDown * projection(pixels);
    paintGL();
    readFrame(QRect(area.x(), top, area.width(), area.height()));
    m_target->release();
}

void OpenGLView::readFrame(QRect const& area)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    auto* const band = reinterpret_cast<QRgb*>(m_frame.scanLine(area.y())) + area.x();
    int const stride = m_frame.width();
    if (!m_context->isOpenGLES() || m_context->format().majorVersion() >= 3) {
        glPixelStorei(GL_PACK_ROW_LENGTH, stride);
        glReadPixels(0, 0, area.width(), area.height(), GL_RGBA, GL_UNSIGNED_BYTE, band);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    } else { // OpenGL ES 2 has no row length
        for (int y = 0; y < area.height(); ++y)
            glReadPixels(0, y, area.width(), 1, GL_RGBA, GL_UNSIGNED_BYTE, band + y * stride);
    }
}

QImage OpenGLView::grabFramebuffer()
{
    render();
    return m_frame;
}

void OpenGLView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Shown, the view has its size: the GL set-up and the first drawing are done now, before a
    // slide brings the page in, rather than in the middle of the slide's frames.
    if (m_frameStale || m_frame.size() != devicePixels())
        render();
}

void OpenGLView::paintEvent(QPaintEvent* event)
{
    if (m_frameStale || m_frame.size() != devicePixels())
        render();
    QPainter painter(this);
    QRect const area = event->rect();
    if (m_frame.isNull()) {
        painter.fillRect(area, background());
        return;
    }
    qreal const ratio = devicePixelRatioF();
    painter.drawImage(area, m_frame,
        QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

bool OpenGLView::buildProgram()
{
    m_program = std::make_unique<QOpenGLShaderProgram>();
    bool ok = m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, VertexShader)
        && m_program->addShaderFromSourceCode(
            QOpenGLShader::Fragment, QByteArray(PixelOrder) + FragmentShader);
    if (ok) {
        m_program->bindAttributeLocation("vertex", VertexAttribute);
        m_program->bindAttributeLocation("normal", NormalAttribute);
        m_program->bindAttributeLocation("uv", UvAttribute);
        ok = m_program->link();
    }
    if (!ok) {
        qWarning("The 3D headset view cannot draw its model: %s", qPrintable(m_program->log()));
        m_program.reset();
    }
    return ok;
}

void OpenGLView::initializeGL()
{
    initializeOpenGLFunctions();
    if (!buildProgram())
        return;
    m_program->bind();
    m_projMatrixLoc = m_program->uniformLocation("projMatrix");
    m_mvMatrixLoc = m_program->uniformLocation("mvMatrix");
    m_normalMatrixLoc = m_program->uniformLocation("normalMatrix");
    m_lightPosLoc = m_program->uniformLocation("lightPos");
    m_colorLoc = m_program->uniformLocation("color");
    m_texturedLoc = m_program->uniformLocation("textured");

    for (MeshPart const* part : m_mesh.parts()) {
        auto* gpu = new GLMeshPart(*part);
        // Without vertex array objects the attributes are set up again at every draw.
        QOpenGLVertexArrayObject::Binder binder(&gpu->vao);
        setupVertexAttribs(gpu->vbo);
        m_parts.append(gpu);
    }

    m_program->setUniformValue(m_lightPosLoc, LightPosition);
    m_program->setUniformValue(m_colorLoc, QVector4D(1.0f, 0.0f, 0.0f, 1.0f));
    m_program->release();
}

void OpenGLView::paintGL()
{
    QColor const colour = background();
    // In the picture's byte order, as the shader writes it.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    glClearColor(GLfloat(colour.blueF()), GLfloat(colour.greenF()), GLfloat(colour.redF()), 1.0f);
#else
    glClearColor(1.0f, GLfloat(colour.redF()), GLfloat(colour.greenF()), GLfloat(colour.blueF()));
#endif
    // Depth and stencil share their pixels: cleared together they are filled, not masked one by one.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (!m_program)
        return;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW); // drawn upside down, the front faces turn clockwise

    m_program->bind();
    m_program->setUniformValue(m_projMatrixLoc, m_proj);
    m_program->setUniformValue(m_mvMatrixLoc, m_camera * m_world * m_model);
    m_program->setUniformValue(m_normalMatrixLoc, m_world.normalMatrix());
    for (GLMeshPart* part : qAsConst(m_parts)) {
        int const count = part->textures.size();
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                part->textures[i]->bind(uint(i));
            // The inactive look is the second image; a material with one image shows it in both.
            m_program->setUniformValue("texture", m_active ? 0 : qMin(1, count - 1));
        }
        m_program->setUniformValue(m_texturedLoc, count > 0);
        m_program->setUniformValue(m_colorLoc, part->color);
        // The vertex array object was made and filled in initializeGL; without one the attributes
        // are pointed into the buffer here.
        if (part->vao.isCreated())
            part->vao.bind();
        else
            setupVertexAttribs(part->vbo);
        glDrawArrays(GL_TRIANGLES, 0, part->vertexCount);
        if (part->vao.isCreated())
            part->vao.release();
    }
    m_program->release();
}

} // namespace OX
