#pragma once
// The GL side of OpenGLView, shared by its two source files: the context with everything drawn
// with it, and the set-up made ahead by prepareWhenIdle.
#include "ui/toolkit/OpenGLView.h"

#include <QColor>
#include <QList>
#include <QMatrix4x4>
#include <QObject>
#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>

#include <memory>

namespace OX
{

class GLMeshPart;

struct OpenGLView::Gl : QOpenGLFunctions {
    // The model a view shows unless it is given another, and the one made ahead.
    static constexpr char const* ShippedPath = ":/3D/";
    static constexpr char const* ShippedName = "headset.obj";

    // What a drawing shows: the model's pose and look over the background.
    struct Look {
        QMatrix4x4 model;
        bool active = false;
        QColor background;
        // Which triangles are drawn: all but while the shaders are compiled one at a time ahead.
        bool plain = true;
        bool textured = true;
    };

    // One of the two shader programs, with the places of its uniforms.
    struct Program {
        std::unique_ptr<QOpenGLShaderProgram> program; // null when the shaders failed
        int projMatrixLoc = -1;
        int mvMatrixLoc = -1;
        int normalMatrixLoc = -1;
        int lookLoc = -1; // the textured program's sampler, the plain one's "inactive"
        // Compiles and links the light's code with the two shaders, logs a failure.
        bool build(char const* vertexShader, char const* fragmentShader, bool plain);
        // Binds the program with the pose.
        void use(QMatrix4x4 const& proj, QMatrix4x4 const& modelView, QMatrix3x3 const& normals);
    };

    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOffscreenSurface> surface;
    Program textured; // the triangles that show a texture
    Program plain; // the triangles of one colour
    QList<GLMeshPart*> parts;
    // The plain triangles of every part, drawn at once.
    QOpenGLVertexArrayObject plainVao;
    QOpenGLBuffer plainVbo;
    int plainVertexCount = 0;
    // As large as the largest area drawn; bound from its first drawing on.
    std::unique_ptr<QOpenGLFramebufferObject> target;
    // The farthest vertex from the model's origin.
    float meshRadius = 0.0f;
    // The depth buffer is cleared once every DepthSlices drawings: each drawing between keeps to a
    // slice of the depth range below every earlier one, so that what earlier drawings left there
    // is always farther than anything drawn now. 0: the next drawing clears it.
    int depthSlice = 0;

    // The camera, CameraDistance in front of the model.
    static QMatrix4x4 const& camera();
    // The model's turn to the camera, before its pose.
    static QMatrix4x4 const& world();
    static QMatrix4x4 projection(QSize const& pixels);
    // projection with its near and far planes closed in on a model of radius meshRadius: the same
    // picture, with the depth buffer's precision spent on the model alone.
    QMatrix4x4 modelProjection(QSize const& pixels) const;

    // The context, current, with the program and the parts of mesh; null without OpenGL.
    static std::unique_ptr<Gl> make(Mesh const& mesh);
    // Frees everything made with the context, then the context.
    ~Gl();
    // The context stays current between drawings: making it current again costs the driver a
    // flush and a look-up of the surface at every pose. False when it cannot be made current
    // (lost with the driver, or its surface gone).
    bool makeCurrent();
    // Points the attributes into buffer, of plain or textured vertices.
    void setupVertexAttribs(QOpenGLBuffer& buffer, bool plain);
    void initialize(Mesh const& mesh);
    // Draws area (OpenGL's pixels, from the bottom) of the model, the whole picture pixels large,
    // into target, the area's top left corner at the target's first pixel; false when no target
    // of that size can be made.
    bool drawArea(QRect const& area, QSize const& pixels, Look const& look);
    void paint(QMatrix4x4 const& proj, Look const& look);
    // Draws count vertices of a part's plain or textured triangles with the program bound.
    void draw(QOpenGLVertexArrayObject& vao, QOpenGLBuffer& buffer, bool plain, int count);
    // Copies source (target's pixels, rows from the area's top) into 32-bit pixels at to, whose
    // rows lie stride bytes apart.
    void read(QRect const& source, uchar* to, int stride);
};

// prepareWhenIdle's set-up, one step at a time; there is at most one, deleted once it is taken
// over, given up or finished and taken, or with the application object.
class OpenGLView::Preparation : public QObject
{
public:
    using Look = Gl::Look;
    enum Step { WaitingForAWindow, MakeContext, DrawPlain, DrawTextured, DrawInactive, Finished };

    static Preparation* instance;
    static bool asked;

    Preparation();
    ~Preparation() override;
    // The set-up made ahead, finished now if it is not yet, for a view of path + name; null for
    // another model, or when nothing was made ahead (then nothing will be).
    static std::unique_ptr<Gl> take(QString const& source);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void schedule();
    void runStep();
    void draw(Look const& look);

    Step m_next = WaitingForAWindow;
    Mesh m_mesh;
    std::unique_ptr<Gl> m_gl;
};

} // namespace OX
