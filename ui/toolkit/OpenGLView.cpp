#include "ui/toolkit/OpenGLView.h"

#include "ui/toolkit/GLMeshPart.h"
#include "ui/toolkit/Skin.h"

#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLShaderProgram>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QPainter>
#include <QtDebug>
#include <QtMath>

#include <cmath>

namespace OX
{

namespace
{

// Shading language of OpenGL 2.0 and OpenGL ES 2.0: no version line, attributes and varyings.
char const* const VertexShader = R"(
attribute vec4 vertex;
attribute vec3 normal;
attribute vec2 uv;
varying vec3 vert;
varying vec3 vertNormal;
varying vec2 texCoord;
uniform mat4 projMatrix;
uniform mat4 mvMatrix;
uniform mat3 normalMatrix;
void main() {
    vert = vertex.xyz;
    vertNormal = normalMatrix * normal;
    texCoord = uv;
    gl_Position = projMatrix * mvMatrix * vertex;
}
)";

// 20 % ambient and 80 % diffuse light from a point light; a textured part is black and shows its
// texture, an untextured one its colour plus the texel at (0, 0), which the model keeps black.
char const* const FragmentShader = R"(
varying highp vec3 vert;
varying highp vec3 vertNormal;
varying highp vec2 texCoord;
uniform highp vec3 lightPos;
uniform highp vec4 color;
uniform sampler2D texture;
void main() {
    highp vec3 L = normalize(lightPos - vert);
    highp float NL = max(dot(normalize(vertNormal), L), 0.0);
    highp vec3 rgb = color.rgb + texture2D(texture, texCoord).rgb;
    gl_FragColor = vec4(clamp(0.2 * rgb + 0.8 * rgb * NL, 0.0, 1.0), 1.0);
}
)";

constexpr int VertexAttribute = 0;
constexpr int NormalAttribute = 1;
constexpr int UvAttribute = 2;
constexpr float NearPlane = 0.01f;
constexpr float FarPlane = 100.0f;
QVector3D const LightPosition(0.0f, 0.0f, 70.0f);
// A change of pose that moves no point of the model this far, in device pixels, is not drawn.
constexpr float VisibleShift = 0.5f;

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
        update();
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
    if (!context->create() || (surface->create(), !surface->isValid())
        || !context->makeCurrent(surface.get())) {
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

void OpenGLView::render()
{
    m_frameStale = false;
    if (!makeContext())
        return;
    QSize const pixels = (QSizeF(size()) * devicePixelRatioF()).toSize().expandedTo(QSize(1, 1));
    m_context->makeCurrent(m_surface.get());
    if (!m_target || m_target->size() != pixels) {
        m_target = std::make_unique<QOpenGLFramebufferObject>(
            pixels, QOpenGLFramebufferObject::CombinedDepthStencil);
        resizeGL(pixels.width(), pixels.height());
    }
    m_target->bind();
    glViewport(0, 0, pixels.width(), pixels.height());
    paintGL();
    m_frame = m_target->toImage();
    m_target->release();
    m_context->doneCurrent();
    m_frame.setDevicePixelRatio(devicePixelRatioF());
    m_drawnModel = m_model;
}

QImage OpenGLView::grabFramebuffer()
{
    render();
    return m_frame;
}

void OpenGLView::paintEvent(QPaintEvent*)
{
    if (m_frameStale || m_frame.size() != (QSizeF(size()) * devicePixelRatioF()).toSize())
        render();
    QPainter painter(this);
    if (m_frame.isNull())
        painter.fillRect(rect(), Skin::color(QStringLiteral("pageBackgroundColor")));
    else
        painter.drawImage(rect(), m_frame);
}

bool OpenGLView::buildProgram()
{
    m_program = std::make_unique<QOpenGLShaderProgram>();
    bool ok = m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, VertexShader)
        && m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, FragmentShader);
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

    for (MeshPart const* part : m_mesh.parts()) {
        auto* gpu = new GLMeshPart(*part);
        // Without vertex array objects the attributes are set up again at every draw.
        QOpenGLVertexArrayObject::Binder binder(&gpu->vao);
        setupVertexAttribs(gpu->vbo);
        m_parts.append(gpu);
    }

    m_camera.setToIdentity();
    m_camera.translate(0.0f, 0.0f, -CameraDistance);
    m_program->setUniformValue(m_lightPosLoc, LightPosition);
    m_program->setUniformValue(m_colorLoc, QVector4D(1.0f, 0.0f, 0.0f, 1.0f));
    m_program->release();
}

void OpenGLView::resizeGL(int w, int h)
{
    m_proj.setToIdentity();
    m_proj.perspective(FieldOfView, GLfloat(w) / GLfloat(qMax(1, h)), NearPlane, FarPlane);
}

void OpenGLView::paintGL()
{
    QColor const background = Skin::color(QStringLiteral("pageBackgroundColor"));
    glClearColor(GLfloat(background.redF()), GLfloat(background.greenF()), GLfloat(background.blueF()), 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!m_program)
        return;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);

    // Together a half turn about the vertical: the model's front (-z) faces the camera.
    m_world.setToIdentity();
    m_world.rotate(180.0f, 1.0f, 0.0f, 0.0f);
    m_world.rotate(180.0f, 0.0f, 0.0f, 1.0f);

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
