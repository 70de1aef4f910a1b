#include "ui/toolkit/GLMeshPart.h"

#include "ui/toolkit/Mesh.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLTexture>

#include <algorithm>
#include <cmath>

namespace OX
{

namespace
{

// The texels of an image of width x height that linear filtering can blend anywhere in the
// triangle (the texture coordinates at 6 and 7 of each corner's floats): those around
// (u width - 1/2, v height - 1/2), clamped to the edge, with one more on each side for rounding.
QRect reach(float const* triangle, QSize const& size)
{
    float uMin = triangle[6], uMax = uMin, vMin = triangle[7], vMax = vMin;
    for (int corner = 1; corner < 3; ++corner) {
        float const* uv = triangle + corner * MeshPart::FloatsPerVertex + 6;
        uMin = std::min(uMin, uv[0]);
        uMax = std::max(uMax, uv[0]);
        vMin = std::min(vMin, uv[1]);
        vMax = std::max(vMax, uv[1]);
    }
    auto texel = [](float coordinate, int count, int margin) {
        float const t = std::floor(coordinate * float(count) - 0.5f) + float(margin);
        return int(std::max(0.0f, std::min(float(count - 1), t))); // also where the float is not finite
    };
    return QRect(QPoint(texel(uMin, size.width(), -1), texel(vMin, size.height(), -1)),
        QPoint(texel(uMax, size.width(), 2), texel(vMax, size.height(), 2)));
}

// The one colour of the area's texels in image (RGBA bytes), or false when they differ.
bool oneColour(QImage const& image, QRect const& area, QRgb& colour)
{
    auto pixel = [&image](int x, int y) { return reinterpret_cast<QRgb const*>(image.constScanLine(y))[x]; };
    colour = pixel(area.left(), area.top());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (pixel(x, y) != colour)
                return false;
    return true;
}

void appendColour(QVector<float>& to, QRgb rgba)
{
    auto const* bytes = reinterpret_cast<uchar const*>(&rgba); // in the order R, G, B, A
    for (int channel = 0; channel < 3; ++channel)
        to << float(bytes[channel]) / 255.0f;
}

} // namespace

GLMeshPart::GLMeshPart(MeshPart const& part, QVector<float>& plain)
{
    // As they are uploaded: RGBA bytes, the first row the texture's bottom.
    QList<QImage> images;
    if (part.material) {
        // An image larger than the driver's textures would be sampled as black: it fails as an
        // unreadable one does.
        GLint largest = 0;
        QOpenGLContext::currentContext()->functions()->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
        for (QImage const& image : part.material->images)
            if (!image.isNull() && image.width() <= largest && image.height() <= largest)
                images.append(image.mirrored().convertToFormat(QImage::Format_RGBA8888));
    }
    if (images.isEmpty()) {
        QVector3D const kd = part.material ? part.material->Kd : QVector3D(0.5f, 0.5f, 0.5f);
        bool const failed = part.material && !part.material->images.isEmpty();
        QImage pixel(1, 1, QImage::Format_RGBA8888);
        pixel.fill(failed ? QColor(Qt::red) // a material that cannot be shown is plainly red
                          : QColor::fromRgbF(qBound(0.0f, kd.x(), 1.0f), qBound(0.0f, kd.y(), 1.0f),
                              qBound(0.0f, kd.z(), 1.0f)));
        images.append(pixel);
    }

    QVector<float> textured;
    for (int first = 0; first + MeshPart::FloatsPerFace <= part.floatCount;
         first += MeshPart::FloatsPerFace) {
        float const* triangle = part.vertices.constData() + first;
        QRgb colours[2] = {}; // the active look's, the inactive one's
        bool one = true;
        for (int look = 0; look < 2 && one; ++look) {
            QImage const& image = images.at(imageOf(look == 0, images.size()));
            one = oneColour(image, reach(triangle, image.size()), colours[look]);
        }
        if (!one) {
            textured.append(QVector<float>(triangle, triangle + MeshPart::FloatsPerFace));
            continue;
        }
        for (int corner = 0; corner < 3; ++corner) {
            float const* vertex = triangle + corner * MeshPart::FloatsPerVertex;
            plain.append(QVector<float>(vertex, vertex + 6)); // position and normal
            appendColour(plain, colours[0]);
            appendColour(plain, colours[1]);
        }
    }

    sortNearestFirst(textured, MeshPart::FloatsPerVertex);
    vbo.create();
    vbo.bind();
    vbo.allocate(textured.constData(), textured.size() * int(sizeof(float)));
    vbo.release();
    vertexCount = textured.size() / MeshPart::FloatsPerVertex;
    if (vertexCount == 0)
        return; // no texture needed
    for (QImage const& image : qAsConst(images)) {
        auto* texture = new QOpenGLTexture(image, QOpenGLTexture::DontGenerateMipMaps);
        // One filter both ways: the software rasteriser then works out no level of detail per
        // pixel, a quarter of a drawing's cost. The images are enlarged on screen, where this is
        // the look they always had.
        texture->setMinMagFilters(QOpenGLTexture::Linear, QOpenGLTexture::Linear);
        texture->setWrapMode(QOpenGLTexture::ClampToEdge);
        textures.append(texture);
    }
}

void GLMeshPart::sortNearestFirst(QVector<float>& floats, int floatsPerVertex)
{
    // The model's front (-z) faces the camera: the smaller a triangle's z, the nearer it is. The
    // triangles go by slices of depth; within one they keep their order, so that two triangles
    // lying on each other, at about the same depth, are drawn in the order they always were.
    constexpr float SliceDepth = 1.0f / 9.0f;
    int const perTriangle = 3 * floatsPerVertex;
    int const count = floats.size() / perTriangle;
    QVector<float> slice(count);
    QVector<int> order(count);
    for (int t = 0; t < count; ++t) {
        float const* z = floats.constData() + t * perTriangle + 2;
        float const depth
            = std::floor((z[0] + z[floatsPerVertex] + z[2 * floatsPerVertex]) / 3.0f / SliceDepth);
        slice[t] = std::isfinite(depth) ? depth : 0.0f; // a broken position must not break the order
        order[t] = t;
    }
    std::stable_sort(order.begin(), order.end(), [&slice](int a, int b) { return slice[a] < slice[b]; });
    QVector<float> sorted;
    sorted.reserve(floats.size());
    for (int t : qAsConst(order))
        sorted.append(floats.mid(t * perTriangle, perTriangle));
    floats = sorted;
}

GLMeshPart::~GLMeshPart()
{
    vbo.destroy();
    qDeleteAll(textures);
    textures.clear();
    vao.destroy();
}

} // namespace OX
