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

    if (part.material) {
        for (QImage const& image : part.material->images)
            if (!image.isNull())
                addTexture(image.mirrored()); // the image's first row is its top, the texture's its bottom
    }
    if (!textures.isEmpty())
        return;
    QVector3D const kd = part.material ? part.material->Kd : QVector3D(0.5f, 0.5f, 0.5f);
    bool const failed = part.material && !part.material->images.isEmpty();
    QImage pixel(1, 1, QImage::Format_RGBA8888);
    pixel.fill(failed ? QColor(Qt::red) // a material that cannot be shown is plainly red
                      : QColor::fromRgbF(qBound(0.0f, kd.x(), 1.0f), qBound(0.0f, kd.y(), 1.0f),
                          qBound(0.0f, kd.z(), 1.0f)));
    addTexture(pixel);
}

void GLMeshPart::addTexture(QImage const& image)
{
    auto* texture = new QOpenGLTexture(image, QOpenGLTexture::DontGenerateMipMaps);
    // One filter both ways: the software rasteriser then works out no level of detail per pixel,
    // a quarter of a drawing's cost. The images are enlarged on screen, where this is the look
    // they always had.
    texture->setMinMagFilters(QOpenGLTexture::Linear, QOpenGLTexture::Linear);
    texture->setWrapMode(QOpenGLTexture::ClampToEdge);
    textures.append(texture);
}

GLMeshPart::~GLMeshPart()
{
    vbo.destroy();
    qDeleteAll(textures);
    textures.clear();
    vao.destroy();
}

} // namespace OX
