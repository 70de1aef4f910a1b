#pragma once
// The graphics-card side of one part of the headset model: its vertex buffer and array object and
// its textures. Made and destroyed only while the owning view's context is current.
#include <QList>
#include <QOpenGLBuffer>
#include <QOpenGLVertexArrayObject>

class QImage;
class QOpenGLTexture;

namespace OX
{

struct MeshPart;

class GLMeshPart
{
public:
    // Uploads the part's floats and makes one texture per readable image of its material; a
    // material whose images all fail shows one red pixel, one without images a pixel of its diffuse
    // colour (grey without a material): every part is drawn the same way, which costs the software
    // rasteriser less per pixel than a choice between a colour and a texture.
    explicit GLMeshPart(MeshPart const& part);
    // Frees the buffer, the textures and the array object.
    ~GLMeshPart();
    GLMeshPart(GLMeshPart const&) = delete;
    GLMeshPart& operator=(GLMeshPart const&) = delete;

    QOpenGLVertexArrayObject vao;
    QOpenGLBuffer vbo;
    QList<QOpenGLTexture*> textures; // at least one
    int vertexCount = 0;

private:
    void addTexture(QImage const& image);
};

} // namespace OX
