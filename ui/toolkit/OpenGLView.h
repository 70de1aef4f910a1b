#pragma once
// The 3D headset of the status page: a lit, textured model that turns with the orientation the
// headset reports. The first orientation after a reset is taken as straight ahead and later ones
// are shown relative to it. While inactive (no headset heard) the model stands still in its rest
// pose with its second, grey look.
//
// A shader that fails to compile or link is logged and the view then shows its background only.
// cleanup() before the first initializeGL, or once everything is freed, does nothing.
#include "ui/toolkit/Mesh.h"

#include <QList>
#include <QMatrix4x4>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QQuaternion>

#include <memory>

class QOpenGLBuffer;
class QOpenGLShaderProgram;

namespace OX
{

class GLMeshPart;

class OpenGLView : public QOpenGLWidget, private QOpenGLFunctions
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

    // Turns the model by q relative to the reference (taken from q when there is none); repaints.
    void setOrientation(QQuaternion const& q);
    // The next orientation becomes straight ahead; the model keeps its pose until then.
    void resetOrientation();
    // On a change: stores it, drops the reference, and when inactive shows the rest pose; repaints.
    void setActive(bool active);

    bool isActive() const { return m_active; }
    bool hasReference() const { return m_reference != nullptr; }
    QMatrix4x4 modelMatrix() const { return m_model; }
    Mesh const& mesh() const { return m_mesh; }

    // Binds buffer and points the attributes "vertex", "normal" and "uv" into it.
    void setupVertexAttribs(QOpenGLBuffer& buffer);

public slots:
    // Frees every graphics object and drops the reference.
    void cleanup();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    bool buildProgram();

    bool m_active = false;
    int m_projMatrixLoc = -1;
    int m_mvMatrixLoc = -1;
    int m_normalMatrixLoc = -1;
    int m_lightPosLoc = -1;
    int m_colorLoc = -1;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QList<GLMeshPart*> m_parts;
    QMatrix4x4 m_proj;
    QMatrix4x4 m_camera;
    QMatrix4x4 m_model;
    QMatrix4x4 m_world;
    std::unique_ptr<QMatrix4x4> m_reference;
    Mesh m_mesh;
};

} // namespace OX
