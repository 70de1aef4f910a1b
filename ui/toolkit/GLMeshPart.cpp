#include "ui/toolkit/GLMeshPart.h"

#include "ui/toolkit/Mesh.h"

#include <QOpenGLTexture>

namespace OX
{

GLMeshPart::GLMeshPart(MeshPart const& part)
{
    vbo.create();
    vbo.bind();
    vbo.allocate(part.vertices.constData(), part.floatCount * int(sizeof(float)));
    vbo.release();
    vertexCount = part.floatCount / MeshPart::FloatsPerVertex;

    if (!part.material || part.material->images.isEmpty()) {
        QVector3D const kd = part.material ? part.material->Kd : QVector3D(0.5f, 0.5f, 0.5f);
        color = QVector4D(kd, 1.0f);
        return;
    }
    color = QVector4D(0.0f, 0.0f, 0.0f, 0.0f);
    for (QImage const& image : part.material->images) {
        if (image.isNull())
            continue;
        // The image's first row is its top; the texture's first row is its bottom.
        auto* texture = new QOpenGLTexture(image.mirrored(), QOpenGLTexture::DontGenerateMipMaps);
        // One filter both ways: the software rasteriser then works out no level of detail per pixel,
        // a quarter of a drawing's cost. The images are enlarged on screen, where this is the look
        // they always had.
        texture->setMinMagFilters(QOpenGLTexture::Linear, QOpenGLTexture::Linear);
        texture->setWrapMode(QOpenGLTexture::ClampToEdge);
        textures.append(texture);
    }
    if (textures.isEmpty())
        color = QVector4D(1.0f, 0.0f, 0.0f, 1.0f); // a material that cannot be shown is plainly red
}

GLMeshPart::~GLMeshPart()
{
    vbo.destroy();
    qDeleteAll(textures);
    textures.clear();
    vao.destroy();
}

} // namespace OX
