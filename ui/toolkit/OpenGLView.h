#pragma once
// The 3D headset of the status page: a lit, textured model that turns with the orientation the
// headset reports. The first orientation after a reset is taken as straight ahead and later ones
// are shown relative to it. While inactive (no headset heard) the model stands still in its rest
// pose with its second, grey look.
//
// The view keeps a picture of its own size, which it paints like any other widget; OpenGL draws
// into it only the area the model covered or covers now, the rest staying background: a new pose
// costs the model's pixels, not the view's or the window's. The GL context is made and the model
// first drawn when the view is first shown (the status page's first appearance, before its slide
// starts), and a new orientation is drawn only when it moves some point of the model by half a
// pixel or more.
//
// A shader that fails to compile or link is logged and the view then shows its background only;
// so does a view without OpenGL. cleanup() before the first drawing, or once everything is freed,
// does nothing.
#include "ui/toolkit/Mesh.h"

#include <QImage>
#include <QList>
#include <QMatrix4x4>
#include <QOpenGLFunctions>
#include <QQuaternion>
#include <QWidget>

#include <memory>

class QOffscreenSurface;
class QOpenGLBuffer;
class QOpenGLContext;
class QOpenGLFramebufferObject;
class QOpenGLShaderProgram;

namespace OX
{

class GLMeshPart;

class OpenGLView : public QWidget, private QOpenGLFunctions
{
    Q_OBJECT
public:
    static constexpr int PreferredSide = 400;
    static constexpr int MinimumSide = 50;
    static constexpr float CameraDistance = 10.0f;
    static constexpr float FieldOfView = 45.0f;

    // Shows the shipped model (":/3D/headset.obj").
    explicit OpenGLView(QWidget* parent = nullptr);
    // Shows the model path + name instead; a model that cannot be read leaves the view empty.
    OpenGLView(QString const& path, QString const& name, QWidget* parent = nullptr);
    ~OpenGLView() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Turns the model by q relative to the reference (taken from q when there is none); repaints
    // when the model moves visibly.
    void setOrientation(QQuaternion const& q);
    // The next orientation becomes straight ahead; the model keeps its pose until then.
    void resetOrientation();
    // On a change: stores it, drops the reference, and when inactive shows the rest pose; repaints.
    void setActive(bool active);

    bool isActive() const { return m_active; }
    bool hasReference() const { return m_reference != nullptr; }
    QMatrix4x4 modelMatrix() const { return m_model; }
    Mesh const& mesh() const { return m_mesh; }
    // The view's GL context, null until the view is first painted (or without OpenGL).
    QOpenGLContext* context() const { return m_context.get(); }
    // The model drawn now at the view's size; null without OpenGL.
    QImage grabFramebuffer();

    // Binds buffer and points the attributes "vertex", "normal" and "uv" into it.
    void setupVertexAttribs(QOpenGLBuffer& buffer);

public slots:
    // Frees every graphics object and drops the reference.
    void cleanup();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Makes the context and everything drawn with it; false without OpenGL.
    bool makeContext();
    void initializeGL();
    void paintGL();
    QSize devicePixels() const;
    static QMatrix4x4 projection(QSize const& pixels);
    static QColor background();
    // The pixels (OpenGL's, from the bottom) the model covers in the pose model.
    QRect modelBounds(QMatrix4x4 const& model, QSize const& pixels) const;
    // modelBounds of the present pose, worked out once per pose and size.
    QRect currentBounds(QSize const& pixels);
    // What the next drawing changes in m_frame: all of it when there is no frame to keep.
    QRect changedArea(QSize const& pixels);
    QRect widgetArea(QRect const& area) const;
    // Brings m_frame, the view's size in device pixels, to the model's present pose.
    void render();
    // Draws area (OpenGL's pixels, from the bottom) of the model into m_target and copies it into
    // m_frame; the context is current.
    void drawArea(QRect const& area, QSize const& pixels);
    // Copies m_target's drawing into m_frame at area (the picture's pixels, from the top).
    void readFrame(QRect const& area);
    bool buildProgram();
    // Whether the model drawn last and the model now differ by half a pixel somewhere.
    bool movedVisibly() const;

    bool m_active = false;
    int m_projMatrixLoc = -1;
    int m_mvMatrixLoc = -1;
    int m_normalMatrixLoc = -1;
    int m_lightPosLoc = -1;
    int m_colorLoc = -1;
    int m_texturedLoc = -1;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QList<GLMeshPart*> m_parts;
    QMatrix4x4 m_proj;
    QMatrix4x4 m_camera;
    QMatrix4x4 m_model;
    QMatrix4x4 m_world;
    std::unique_ptr<QMatrix4x4> m_reference;
    Mesh m_mesh;
    float m_meshRadius = 0.0f; // the farthest vertex from the model's origin

    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLFramebufferObject> m_target; // as large as the largest area drawn
    bool m_contextFailed = false;
    QImage m_frame; // the last drawing, in device pixels
    bool m_frameStale = true; // the state changed since m_frame was drawn
    QMatrix4x4 m_drawnModel; // the model matrix of m_frame
    QRect m_drawnBounds; // what the model covers in m_frame
    QColor m_drawnBackground;
    QRect m_bounds; // currentBounds of m_boundsModel at m_boundsPixels
    QSize m_boundsPixels;
    QMatrix4x4 m_boundsModel;
};

} // namespace OX
