#pragma once
// The graphics-card side of one part of the headset model: its textured triangles' vertex buffer,
// array object and textures. Made and destroyed only while the owning view's context is current.
#include <QList>
#include <QOpenGLBuffer>
#include <QOpenGLVertexArrayObject>
#include <QVector>

class QImage;
class QOpenGLTexture;

namespace OX
{

struct MeshPart;

class GLMeshPart
{
public:
    // The floats of a plain vertex: position, normal, its colour in the active look and in the
    // inactive one.
    static constexpr int PlainFloatsPerVertex = 12;

    // Sorts the part's triangles in two sets. A triangle whose texture coordinates only reach
    // texels of one colour, in each of its material's images, is plain: it is appended to plain
    // (PlainFloatsPerVertex a corner) with those colours (the first image's for the active look,
    // the second's for the inactive one), to be drawn without a texture, which gives the same
    // pixels at a fraction of the software rasteriser's cost. The other triangles are textured:
    // uploaded with one texture per readable image. A material whose images all fail (unreadable,
    // or larger than the driver's textures) is plainly red, one without images has its diffuse
    // colour (grey without a material).
    GLMeshPart(MeshPart const& part, QVector<float>& plain);
    // Frees the buffer, the textures and the array object.
    ~GLMeshPart();
    GLMeshPart(GLMeshPart const&) = delete;
    GLMeshPart& operator=(GLMeshPart const&) = delete;

    // Puts the triangles of floats (floatsPerVertex a corner) in the order of their distance to
    // the camera in the model's rest pose, the nearest first. Drawn in this order, a pixel hidden
    // behind a nearer triangle is turned away by its depth before it is shaded: the software
    // rasteriser shades each pixel about once while the head turns moderately. The picture is the
    // same but for single pixels where two triangles meet at exactly the same depth.
    static void sortNearestFirst(QVector<float>& floats, int floatsPerVertex);

    // Which of a material's count images a look shows: the inactive look is the second image; a
    // material with one image shows it in both.
    static int imageOf(bool active, int count) { return active ? 0 : qMin(1, count - 1); }

    QOpenGLVertexArrayObject vao; // the textured triangles
    QOpenGLBuffer vbo;
    QList<QOpenGLTexture*> textures; // none when every triangle is plain
    int vertexCount = 0;
};

} // namespace OX
