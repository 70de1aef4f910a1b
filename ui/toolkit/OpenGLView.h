#pragma once
// The 3D headset of the status page: a lit, textured model that turns with the orientation the
// headset reports. The first orientation after a reset is taken as straight ahead and later ones
// are shown relative to it. While inactive (no headset heard) the model stands still in its rest
// pose with its second, grey look.
//
// The view's picture is its background but for the area the model covered or covers now, which
// OpenGL draws and the view copies straight into the window's picture as it paints: a new pose
// costs the model's pixels, not the view's or the window's. The GL context is made and the model
// first drawn when the view is first shown (the status page's first appearance, before its slide
// starts), and a new orientation is drawn only when it moves some point of the model by half a
// pixel or more. The set-up can be made ahead, while the application has nothing else to do
// (prepareWhenIdle): the first view of the shipped model then takes it over.
//
// A shader that fails to compile or link is logged and the view then shows its background only;
// so does a view without OpenGL, or one whose drawing needs a framebuffer the driver cannot
// make. cleanup() before the first drawing, or once everything is freed, does nothing.
#include "ui/toolkit/Mesh.h"

#include <QImage>
#include <QList>
#include <QMatrix4x4>
#include <QQuaternion>
#include <QWidget>

class QPainter;

#include <memory>

class QRegion;
class QOpenGLContext;

namespace OX
{

class OpenGLView : public QWidget
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

    // Makes the shipped model's GL set-up ahead, so that the first view does not wait for it. It
    // starts once a window of the application has been shown and painted, and goes in three
    // steps, each when the event loop has nothing else to do: the context with the model's
    // program and buffers, then a first drawing of each look, with which the software rasteriser
    // compiles the shaders. The first view of the shipped model takes it over and finishes at
    // once what is not done yet; a view that comes before any window was shown makes its own and
    // nothing is made ahead. Calling it again does nothing.
    static void prepareWhenIdle();
    // The set-up asked for by prepareWhenIdle is finished, taken over or given up.
    static bool isPrepared();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Turns the model by q relative to the reference (taken from q when there is none); repaints
    // when the model moves visibly. q is taken at length 1; one of about length 0, or not finite,
    // is ignored.
    void setOrientation(QQuaternion const& q);
    // The next orientation becomes straight ahead; the model keeps its pose until then.
    void resetOrientation();
    // On a change: stores it, drops the reference, and when inactive shows the rest pose; repaints.
    void setActive(bool active);

    bool isActive() const { return m_active; }
    bool hasReference() const { return m_reference != nullptr; }
    QMatrix4x4 modelMatrix() const { return m_model; }
    Mesh const& mesh() const { return m_mesh; }
    // The view's GL context, null until the view is first shown or drawn (or without OpenGL).
    QOpenGLContext* context() const;
    // The model drawn now at the view's size; null without OpenGL, or when no picture that large
    // can be had.
    QImage grabFramebuffer();
    // Test seam: the GL context can no longer be made current, as after a driver reset.
    void simulateContextLoss();

public slots:
    // Frees every graphics object and drops the reference.
    void cleanup();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The GL context and everything drawn with it.
    struct Gl;
    // The set-up made ahead by prepareWhenIdle.
    class Preparation;

    // Makes the context and everything drawn with it, or takes over the one made ahead; false
    // without OpenGL.
    bool makeContext();
    QSize devicePixels() const;
    static QColor background();
    // The pixels (OpenGL's, from the bottom) the model covers in the pose model.
    QRect modelBounds(QMatrix4x4 const& model, QSize const& pixels) const;
    // modelBounds of the present pose, worked out once per pose and size.
    QRect currentBounds(QSize const& pixels);
    // What the next drawing changes in the picture: all of it when there is none to keep.
    QRect changedArea(QSize const& pixels);
    QRect widgetArea(QRect const& area) const;
    // Brings the picture, the view's size in device pixels, to the model's present pose.
    void render();
    // The picture as it was last drawn, in device pixels; null without OpenGL or memory for it.
    QImage picture();
    // Paints region (the widget's) of the drawn area: read straight into the window's picture
    // where painter paints into one at the view's scale, through one copy otherwise.
    void paintDrawing(QPainter& painter, QRegion const& region);
    // Whether the model drawn last and the model now differ by half a pixel somewhere.
    bool movedVisibly() const;

    QString m_source; // the model's path + name
    bool m_active = false;
    QMatrix4x4 m_model;
    std::unique_ptr<QMatrix4x4> m_reference;
    Mesh m_mesh;
    float m_meshRadius = 0.0f; // the farthest vertex from the model's origin

    std::unique_ptr<Gl> m_gl;
    bool m_contextFailed = false;
    QSize m_framePixels; // the size of the picture last drawn, in device pixels; none before
    bool m_frameStale = true; // the state changed since the picture was drawn
    QMatrix4x4 m_drawnModel; // the model matrix of the picture
    QRect m_drawnBounds; // what the model covers in the picture (OpenGL's pixels, from the bottom)
    QRect m_drawnArea; // the picture's pixels (from the top) the target holds; background elsewhere
    QColor m_drawnBackground;
    QRect m_bounds; // currentBounds of m_boundsModel at m_boundsPixels
    QSize m_boundsPixels;
    QMatrix4x4 m_boundsModel;
};

} // namespace OX
