#include "ui/toolkit/OpenGLViewGl.h"

#include "ui/toolkit/GLMeshPart.h"
#include "ui/toolkit/SharedGlContext.h"

#include <QGuiApplication>
#include <QOpenGLBuffer>
#include <QOpenGLTexture>
#include <QOpenGLVertexArrayObject>
#include <QTimer>
#include <QWindow>
#include <QtDebug>

namespace OX
{

namespace
{

// Shading language of OpenGL 2.0 and OpenGL ES 2.0: no version line, attributes and varyings.
// 20 % ambient and 80 % diffuse light from a point light, worked out per vertex: the light and the
// normals turn with the model, so a vertex's light does not change with the pose, and the pixels
// between are interpolated (with the software rasteriser the cost is per pixel).
char const* const Light = R"(
attribute vec4 vertex;
attribute vec3 normal;
uniform mat4 projMatrix;
uniform mat4 mvMatrix;
uniform mat3 normalMatrix;
uniform vec3 lightPos;
float lightOfVertex() {
    gl_Position = projMatrix * mvMatrix * vertex;
    vec3 L = normalize(lightPos - vertex.xyz);
    return 0.2 + 0.8 * max(dot(normalize(normalMatrix * normal), L), 0.0);
}
)";

// The textured triangles: the texture's colour times the light.
char const* const TexturedVertexShader = R"(
attribute vec2 uv;
varying float light;
varying vec2 texCoord;
void main() {
    light = lightOfVertex();
    texCoord = uv;
}
)";

// The colour is written in the byte order of QImage::Format_RGB32, so that the picture is read
// back as it is painted.
char const* const TexturedFragmentShader = R"(
varying mediump float light;
varying highp vec2 texCoord;
uniform sampler2D texture;
void main() {
    gl_FragColor = vec4(texture2D(texture, texCoord).rgb * light, 1.0).PIXEL_ORDER;
}
)";

// The plain triangles: their colour in the look shown times the light, which is the same colour
// interpolated between the corners.
char const* const PlainVertexShader = R"(
attribute vec3 colour;
attribute vec3 inactiveColour;
uniform float inactive;
varying vec3 lit;
void main() {
    lit = (colour * (1.0 - inactive) + inactiveColour * inactive) * lightOfVertex();
}
)";

char const* const PlainFragmentShader = R"(
varying mediump vec3 lit;
void main() {
    gl_FragColor = vec4(lit, 1.0).PIXEL_ORDER;
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
constexpr int UvAttribute = 2; // textured vertices
constexpr int ColourAttribute = 2; // plain vertices
constexpr int InactiveColourAttribute = 3;
constexpr float NearPlane = 0.01f;
constexpr float FarPlane = 100.0f;
QVector3D const LightPosition(0.0f, 0.0f, 70.0f);
// The side of the drawing target grows in steps of this many pixels.
constexpr int TargetStep = 64;
// The depth range is shared by this many drawings between two clears of the depth buffer: each
// slice still holds 2^18 of the 24-bit buffer's steps over the model's own depth.
constexpr int DepthSlices = 64;
// The planes of modelProjection lie this much farther out than the model's farthest vertex.
constexpr float PlaneMargin = 1.05f;

} // namespace

OpenGLView::Preparation* OpenGLView::Preparation::instance = nullptr;
bool OpenGLView::Preparation::asked = false;

QMatrix4x4 const& OpenGLView::Gl::camera()
{
    static QMatrix4x4 const m = [] {
        QMatrix4x4 m;
        m.translate(0.0f, 0.0f, -OpenGLView::CameraDistance);
        return m;
    }();
    return m;
}

QMatrix4x4 const& OpenGLView::Gl::world()
{
    static QMatrix4x4 const m = [] {
        QMatrix4x4 m;
        // Together a half turn about the vertical: the model's front (-z) faces the camera.
        m.rotate(180.0f, 1.0f, 0.0f, 0.0f);
        m.rotate(180.0f, 0.0f, 0.0f, 1.0f);
        return m;
    }();
    return m;
}

QMatrix4x4 OpenGLView::Gl::projection(QSize const& pixels)
{
    QMatrix4x4 m;
    m.perspective(
        OpenGLView::FieldOfView, GLfloat(pixels.width()) / GLfloat(pixels.height()), NearPlane, FarPlane);
    return m;
}

QMatrix4x4 OpenGLView::Gl::modelProjection(QSize const& pixels) const
{
    float const reach = meshRadius * PlaneMargin;
    float const nearPlane = qMax(NearPlane, OpenGLView::CameraDistance - reach);
    float const farPlane = qMin(FarPlane, qMax(nearPlane * 2.0f, OpenGLView::CameraDistance + reach));
    QMatrix4x4 m;
    m.perspective(
        OpenGLView::FieldOfView, GLfloat(pixels.width()) / GLfloat(pixels.height()), nearPlane, farPlane);
    return m;
}

// ---- The context and the drawing --------------------------------------------------------------

std::unique_ptr<OpenGLView::Gl> OpenGLView::Gl::make(Mesh const& mesh)
{
    auto gl = std::make_unique<Gl>();
    gl->context = std::make_unique<QOpenGLContext>();
    gl->context->setFormat(QSurfaceFormat::defaultFormat());
    gl->surface = std::make_unique<QOffscreenSurface>();
    gl->surface->setFormat(gl->context->format());
    QOpenGLContext* context = gl->context.get();
    QOffscreenSurface* surface = gl->surface.get();
    bool const made = SharedGlContext::withSoftwareGlSetting([context, surface] {
        return context->create() && (surface->create(), surface->isValid()) && context->makeCurrent(surface);
    });
    if (!made) {
        gl->context.reset(); // nothing made with it to free
        return nullptr;
    }
    gl->initialize(mesh);
    return gl;
}

OpenGLView::Gl::~Gl()
{
    if (!context)
        return;
    context->makeCurrent(surface.get());
    textured.program.reset();
    plain.program.reset();
    qDeleteAll(parts);
    parts.clear();
    plainVbo.destroy();
    plainVao.destroy();
    target.reset();
    context->doneCurrent();
    context.reset();
}

bool OpenGLView::Gl::makeCurrent()
{
    return QOpenGLContext::currentContext() == context.get() || context->makeCurrent(surface.get());
}

void OpenGLView::Gl::setupVertexAttribs(QOpenGLBuffer& buffer, bool plain)
{
    // Position and normal, then the texture coordinates or the two colours.
    int const floats = plain ? GLMeshPart::PlainFloatsPerVertex : MeshPart::FloatsPerVertex;
    int const stride = floats * int(sizeof(GLfloat));
    auto attribute = [this, stride](int index, int size, int offset) {
        glEnableVertexAttribArray(GLuint(index));
        glVertexAttribPointer(GLuint(index), size, GL_FLOAT, GL_FALSE, stride,
            reinterpret_cast<void*>(qintptr(offset) * qintptr(sizeof(GLfloat))));
    };
    buffer.bind();
    attribute(VertexAttribute, 3, 0);
    attribute(NormalAttribute, 3, 3);
    if (plain) {
        attribute(ColourAttribute, 3, 6);
        attribute(InactiveColourAttribute, 3, 9);
    } else {
        glDisableVertexAttribArray(InactiveColourAttribute);
        attribute(UvAttribute, 2, 6);
    }
    buffer.release();
}

bool OpenGLView::Gl::Program::build(char const* vertexShader, char const* fragmentShader, bool plain)
{
    program = std::make_unique<QOpenGLShaderProgram>();
    bool ok = program->addShaderFromSourceCode(QOpenGLShader::Vertex, QByteArray(Light) + vertexShader)
        && program->addShaderFromSourceCode(QOpenGLShader::Fragment, QByteArray(PixelOrder) + fragmentShader);
    if (ok) {
        program->bindAttributeLocation("vertex", VertexAttribute);
        program->bindAttributeLocation("normal", NormalAttribute);
        if (plain) {
            program->bindAttributeLocation("colour", ColourAttribute);
            program->bindAttributeLocation("inactiveColour", InactiveColourAttribute);
        } else {
            program->bindAttributeLocation("uv", UvAttribute);
        }
        ok = program->link();
    }
    if (!ok) {
        qWarning("The 3D headset view cannot draw its model: %s", qPrintable(program->log()));
        program.reset();
        return false;
    }
    program->bind();
    projMatrixLoc = program->uniformLocation("projMatrix");
    mvMatrixLoc = program->uniformLocation("mvMatrix");
    normalMatrixLoc = program->uniformLocation("normalMatrix");
    lookLoc = program->uniformLocation(plain ? "inactive" : "texture");
    program->setUniformValue(program->uniformLocation("lightPos"), LightPosition);
    program->release();
    return true;
}

void OpenGLView::Gl::Program::use(
    QMatrix4x4 const& proj, QMatrix4x4 const& modelView, QMatrix3x3 const& normals)
{
    program->bind();
    program->setUniformValue(projMatrixLoc, proj);
    program->setUniformValue(mvMatrixLoc, modelView);
    program->setUniformValue(normalMatrixLoc, normals);
}

void OpenGLView::Gl::initialize(Mesh const& mesh)
{
    initializeOpenGLFunctions();
    // Either fails alone only when the shading language is broken: the view then draws nothing.
    if (!textured.build(TexturedVertexShader, TexturedFragmentShader, false)
        || !plain.build(PlainVertexShader, PlainFragmentShader, true)) {
        textured.program.reset();
        plain.program.reset();
        return;
    }
    for (QVector3D const& position : mesh.positions())
        meshRadius = qMax(meshRadius, position.length());
    QVector<float> plainFloats;
    for (MeshPart const* part : mesh.parts()) {
        auto* gpu = new GLMeshPart(*part, plainFloats);
        // Without vertex array objects the attributes are set up again at every draw.
        if (gpu->vao.create()) {
            QOpenGLVertexArrayObject::Binder binder(&gpu->vao);
            setupVertexAttribs(gpu->vbo, false);
        }
        parts.append(gpu);
    }
    GLMeshPart::sortNearestFirst(plainFloats, GLMeshPart::PlainFloatsPerVertex);
    plainVbo.create();
    plainVbo.bind();
    plainVbo.allocate(plainFloats.constData(), plainFloats.size() * int(sizeof(float)));
    plainVbo.release();
    plainVertexCount = plainFloats.size() / GLMeshPart::PlainFloatsPerVertex;
    if (plainVao.create()) {
        QOpenGLVertexArrayObject::Binder binder(&plainVao);
        setupVertexAttribs(plainVbo, true);
    }
}

bool OpenGLView::Gl::drawArea(QRect const& area, QSize const& pixels, Look const& look)
{
    makeCurrent();
    if (!target || target->width() < area.width() || target->height() < area.height()) {
        // Grown in steps, so that a model turning into a little more room does not make a new one.
        auto step = [](int n) { return (n + TargetStep - 1) / TargetStep * TargetStep; };
        QSize size(step(area.width()), step(area.height()));
        if (target)
            size = size.expandedTo(target->size());
        size = size.boundedTo(pixels);
        target = std::make_unique<QOpenGLFramebufferObject>(
            size, QOpenGLFramebufferObject::CombinedDepthStencil);
        depthSlice = 0; // its depth buffer holds nothing yet
    }
    // One larger than the driver allows, or for which it has no memory, takes no drawing; it is
    // made again when the view's size changes.
    if (!target->isValid())
        return false;
    // The target stays bound after the drawing and the reading: nothing else draws with this
    // context, and each switch back to the surface's framebuffer had the driver flush and check the
    // framebuffer state again, twice per pose. Binding it again while it is bound costs little.
    target->bind();
    // The picture is drawn upside down, so that OpenGL's rows, which go upwards, come out in the
    // picture's order: its row top is the target's first. The view's whole picture is placed so
    // that the area's corner falls on the target's.
    int const top = pixels.height() - area.y() - area.height();
    glViewport(-area.x(), -top, pixels.width(), pixels.height());
    QMatrix4x4 upsideDown;
    upsideDown.scale(1.0f, -1.0f, 1.0f);
    paint(upsideDown * modelProjection(pixels), look);
    return true;
}

void OpenGLView::Gl::read(QRect const& source, uchar* to, int stride)
{
    if (!target || !makeCurrent())
        return; // nothing drawn yet, or the context is lost
    target->bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (!context->isOpenGLES() || context->format().majorVersion() >= 3) {
        glPixelStorei(GL_PACK_ROW_LENGTH, stride / 4);
        glReadPixels(source.x(), source.y(), source.width(), source.height(), GL_RGBA, GL_UNSIGNED_BYTE, to);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    } else { // OpenGL ES 2 has no row length
        for (int y = 0; y < source.height(); ++y)
            glReadPixels(
                source.x(), source.y() + y, source.width(), 1, GL_RGBA, GL_UNSIGNED_BYTE, to + y * stride);
    }
}

void OpenGLView::Gl::paint(QMatrix4x4 const& proj, Look const& look)
{
    QColor const& colour = look.background;
    // In the picture's byte order, as the shader writes it.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    glClearColor(GLfloat(colour.blueF()), GLfloat(colour.greenF()), GLfloat(colour.redF()), 1.0f);
#else
    glClearColor(1.0f, GLfloat(colour.redF()), GLfloat(colour.greenF()), GLfloat(colour.blueF()));
#endif
    if (depthSlice == 0) {
        // Depth and stencil share their pixels: cleared together they are filled, not masked one
        // by one.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Slice n of the depth range lies below slice n - 1, a little apart from it.
    GLfloat const step = 1.0f / GLfloat(DepthSlices);
    GLfloat const far = 1.0f - GLfloat(depthSlice) * step;
    glDepthRangef(far - step, far - step / 1024.0f);
    depthSlice = (depthSlice + 1) % DepthSlices;
    if (!textured.program)
        return;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    // Dithering is on by default; the picture is the same without it, drawn with less work.
    glDisable(GL_DITHER);
    glFrontFace(GL_CW); // drawn upside down, the front faces turn clockwise

    QMatrix4x4 const modelView = camera() * world() * look.model;
    QMatrix3x3 const normals = world().normalMatrix();
    // The plain triangles of every part at once, then the textured ones: one change of program.
    if (look.plain) {
        plain.use(proj, modelView, normals);
        plain.program->setUniformValue(plain.lookLoc, look.active ? 0.0f : 1.0f);
        draw(plainVao, plainVbo, true, plainVertexCount);
    }
    if (look.textured) {
        textured.use(proj, modelView, normals);
        textured.program->setUniformValue(textured.lookLoc, 0);
        for (GLMeshPart* part : qAsConst(parts)) {
            if (part->vertexCount == 0)
                continue;
            part->textures.at(GLMeshPart::imageOf(look.active, part->textures.size()))->bind(0);
            draw(part->vao, part->vbo, false, part->vertexCount);
        }
    }
    glUseProgram(0);
}

void OpenGLView::Gl::draw(QOpenGLVertexArrayObject& vao, QOpenGLBuffer& buffer, bool plain, int count)
{
    if (count == 0)
        return;
    // The vertex array object was made and filled in initialize; without one the attributes are
    // pointed into the buffer here.
    if (vao.isCreated())
        vao.bind();
    else
        setupVertexAttribs(buffer, plain);
    glDrawArrays(GL_TRIANGLES, 0, count);
    if (vao.isCreated())
        vao.release();
}

// ---- The set-up made ahead --------------------------------------------------------------------

void OpenGLView::prepareWhenIdle()
{
    if (Preparation::asked)
        return;
    Preparation::asked = true;
    new Preparation;
}

bool OpenGLView::isPrepared()
{
    return Preparation::asked
        && (!Preparation::instance || Preparation::instance->m_next == Preparation::Finished);
}

OpenGLView::Preparation::Preparation()
{
    instance = this;
    // Freed while the application object goes, before the windowing the context needs.
    qAddPostRoutine([] { delete instance; });
    for (QWindow* window : QGuiApplication::topLevelWindows())
        if (window->isExposed()) {
            m_next = MakeContext;
            schedule();
            return;
        }
    QCoreApplication::instance()->installEventFilter(this);
}

OpenGLView::Preparation::~Preparation()
{
    instance = nullptr;
}

bool OpenGLView::Preparation::eventFilter(QObject* watched, QEvent* event)
{
    // The first window is painted while its exposure is handled, before the steps' first turn.
    if (event->type() == QEvent::Expose && m_next == WaitingForAWindow && watched->isWindowType()
        && static_cast<QWindow*>(watched)->isExposed()) {
        QCoreApplication::instance()->removeEventFilter(this);
        m_next = MakeContext;
        schedule();
    }
    return QObject::eventFilter(watched, event);
}

void OpenGLView::Preparation::schedule()
{
    // A zero timer runs once the events waiting now have been handled.
    QTimer::singleShot(0, this, [this] {
        runStep();
        if (m_next != Finished)
            schedule();
    });
}

void OpenGLView::Preparation::runStep()
{
    switch (m_next) {
    case WaitingForAWindow:
    case Finished:
        return;
    case MakeContext:
        m_mesh.load(QString::fromLatin1(Gl::ShippedPath), QString::fromLatin1(Gl::ShippedName));
        m_gl = Gl::make(m_mesh);
        m_next = m_gl ? DrawPlain : Finished;
        return;
    // The rasteriser compiles each program's shaders as it first draws with it: one at a time,
    // so that no step holds the application long.
    case DrawPlain:
        draw(Look { QMatrix4x4(), true, background(), true, false });
        m_next = DrawTextured;
        return;
    case DrawTextured:
        draw(Look { QMatrix4x4(), true, background(), false, true });
        m_next = DrawInactive;
        return;
    case DrawInactive:
        draw(Look { QMatrix4x4(), false, background() });
        m_next = Finished;
        return;
    }
}

void OpenGLView::Preparation::draw(Look const& look)
{
    // As a view draws at its preferred size, so that the shaders compiled here are the ones the
    // view uses.
    QSize const pixels(PreferredSide, PreferredSide);
    QImage frame(pixels, QImage::Format_RGB32);
    m_gl->drawArea(QRect(QPoint(0, 0), pixels), pixels, look);
    m_gl->read(frame.rect(), frame.bits(), frame.bytesPerLine());
}

std::unique_ptr<OpenGLView::Gl> OpenGLView::Preparation::take(QString const& source)
{
    if (!instance || source != QString::fromLatin1(Gl::ShippedPath) + QLatin1String(Gl::ShippedName))
        return nullptr;
    std::unique_ptr<Gl> gl;
    if (instance->m_next != WaitingForAWindow) {
        while (instance->m_next != Finished)
            instance->runStep();
        gl = std::move(instance->m_gl);
    }
    delete instance;
    return gl;
}

} // namespace OX
