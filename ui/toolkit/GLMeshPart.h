#pragma once
// The graphics-card side of one part of the headset model: its vertex buffer and array object,
// its colour and its textures. Made and destroyed only while the owning view's context is current.
#include <QList>
#include <QOpenGLBuffer>
#include <QOpenGLVertexArrayObject>
#include <QVector4D>

class QOpenGLTexture;

namespace OX
{

struct MeshPart;

class GLMeshPart
{
public:
    // Uploads the part's floats and makes one texture per readable image of its material (colour
    // black); a material whose images all fail is red; one without images shows its diffuse colour.
    explicit GLMeshPart(MeshPart const& part);
    // Frees the buffer, the textures and the array object.
    ~GLMeshPart();
    GLMeshPart(GLMeshPart const&) = delete;
    GLMeshPart& operator=(GLMeshPart const&) = delete;

    QOpenGLVertexArrayObject vao;
    QOpenGLBuffer vbo;
    QVector4D color { 1.0f, 1.0f, 1.0f, 1.0f };
    QList<QOpenGLTexture*> textures;
    int vertexCount = 0;
};

} // namespace OX
