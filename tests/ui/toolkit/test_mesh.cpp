// The model loader on small files in a temporary folder, bad input included, and on the shipped
// headset model.
#include "common/gui_util.h"
#include "ui/toolkit/GLMeshPart.h"
#include "ui/toolkit/Mesh.h"

#include <QFile>
#include <QTemporaryDir>
#include <QVector>
#include <gtest/gtest.h>

#include <cmath>

namespace
{

class MeshFiles : public ::testing::Test
{
protected:
    void write(QString const& name, QByteArray const& text)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    bool load(QByteArray const& obj)
    {
        write(QStringLiteral("m.obj"), obj);
        return mesh.load(dir.path() + QLatin1Char('/'), QStringLiteral("m.obj"));
    }

    QTemporaryDir dir;
    OX::Mesh mesh;
};

QByteArray const Triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nvt 0.25 0.75\n";
QByteArray const Materials = "Kd 9 9 9\nnewmtl A\nKd 1 0 0\nnewmtl B\nKd 0 1 0\nmap_Kd missing.png 0\n";

} // namespace

TEST_F(MeshFiles, MaterialSwitchesBackAddToTheFirstPartInOrderOfFirstUse)
{
    write(QStringLiteral("m.mtl"), Materials);
    ASSERT_TRUE(load(Triangle
        + "mtllib m.mtl\nusemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\nf 1//1 2//1 3//1\n"
          "usemtl A\nf 3/1/1 2/1/1 1/1/1\n"));
    ASSERT_EQ(mesh.parts().size(), 2);
    EXPECT_EQ(mesh.parts()[0]->material->name, QStringLiteral("A"));
    EXPECT_EQ(mesh.parts()[0]->floatCount, 48);
    EXPECT_EQ(mesh.parts()[0]->vertices.size(), 48);
    EXPECT_EQ(mesh.parts()[0]->vertices[6], 0.25f);
    EXPECT_EQ(mesh.parts()[0]->vertices[7], 0.75f);
    EXPECT_EQ(mesh.parts()[1]->material->name, QStringLiteral("B"));
    EXPECT_EQ(mesh.parts()[0], mesh.lookup(&mesh.material(mesh.materialIndexByName("A"))));
    // Lines before the first material are ignored; an unreadable image stays as a null image.
    EXPECT_EQ(mesh.material(1).Kd, QVector3D(1, 0, 0));
    ASSERT_EQ(mesh.material(2).images.size(), 1);
    EXPECT_TRUE(mesh.material(2).images[0].isNull());
    // A corner with an empty texture piece has uv (0, 0).
    EXPECT_EQ(mesh.parts()[1]->vertices[6], 0.0f);
    EXPECT_EQ(mesh.parts()[1]->vertices[7], 0.0f);
    EXPECT_EQ(mesh.materialIndexByName(QStringLiteral("a")), -1);
}

TEST_F(MeshFiles, ReadsOnlyWhatTheFormatSaysAndASecondLoadKeepsOnlyItsOwnData)
{
    testutil::LogCapture log;
    ASSERT_TRUE(
        load(Triangle + "mtllib none.mtl\nusemtl nothing\nf 1 2 3 4\n F 1 2 3\n f 1 2 3\nvt 1 1 1\n"));
    EXPECT_TRUE(log.contains(
        QStringLiteral("Unable to load material from resource \"%1/none.mtl\", will use default!")
            .arg(dir.path())));
    ASSERT_EQ(mesh.parts().size(), 1);
    EXPECT_EQ(mesh.parts()[0]->material->name, QStringLiteral("default"));
    EXPECT_EQ(mesh.parts()[0]->floatCount, 24);
    EXPECT_EQ(mesh.material(0).faceCount, 1);
    EXPECT_EQ(mesh.textureCoordinates().last(), QVector3D(1, 1, 1));
    EXPECT_EQ(mesh.textureCoordinates().first(), QVector3D(0.25f, 0.75f, 0));

    ASSERT_TRUE(load("v 5 5 5\nv 6 5 5\nv 5 6 5\nf 1 2 3\nf 3 2 1\n"));
    EXPECT_EQ(mesh.materialCount(), 1);
    EXPECT_EQ(mesh.positions().size(), 3);
    EXPECT_TRUE(mesh.normals().isEmpty());
    ASSERT_EQ(mesh.parts().size(), 1);
    EXPECT_EQ(mesh.parts()[0]->floatCount, 48);
    EXPECT_EQ(mesh.parts()[0]->vertices[0], 5.0f);

    // A file that cannot be opened changes nothing.
    EXPECT_FALSE(mesh.load(dir.path() + QLatin1Char('/'), QStringLiteral("absent.obj")));
    EXPECT_FALSE(mesh.load(QStringLiteral("/dev/"), QStringLiteral("zero")));
    EXPECT_EQ(mesh.parts().size(), 1);
}

TEST_F(MeshFiles, FacesNamingIndicesOutsideTheirListsAreSkippedAndMissingValuesReadZero)
{
    testutil::LogCapture log;
    ASSERT_TRUE(load(Triangle
        + "f 0 1 2\nf -1 2 3\nf 1 2 4\nf 1/2 2 3\nf 1//2 2//1 3//1\nf 1 2\nf x 2 3\n"
          "f 1/1/ 2 3\nv 7\nf 1 2 4\n"));
    EXPECT_EQ(log.count(QStringLiteral("Skipped 7 faces")), 1) << log.lines().join('\n').toStdString();
    EXPECT_EQ(mesh.material(0).faceCount, 2);
    ASSERT_EQ(mesh.parts().size(), 1);
    OX::MeshPart const* part = mesh.parts()[0];
    ASSERT_EQ(part->floatCount, 48);
    // No normal given: (0, 0, 0); the position "v 7" reads (7, 0, 0).
    EXPECT_EQ(QVector3D(part->vertices[3], part->vertices[4], part->vertices[5]), QVector3D());
    EXPECT_EQ(QVector3D(part->vertices[40], part->vertices[41], part->vertices[42]), QVector3D(7, 0, 0));
}

TEST_F(MeshFiles, NumbersThatAreNotFiniteReadZero)
{
    write(QStringLiteral("m.mtl"), "newmtl A\nKd nan 0.5 inf\n");
    ASSERT_TRUE(load("mtllib m.mtl\nv nan 1 -inf\nvn inf 0 1\nvt nan 0.5\nv 1e39 0 0\n"));
    EXPECT_EQ(mesh.positions(), QVector<QVector3D>({ QVector3D(0, 1, 0), QVector3D() }));
    EXPECT_EQ(mesh.normals().value(0), QVector3D(0, 0, 1));
    EXPECT_EQ(mesh.textureCoordinates().value(0), QVector3D(0, 0.5f, 0));
    EXPECT_EQ(mesh.material(1).Kd, QVector3D(0, 0.5f, 0));
}

TEST(Mesh, TheShippedModelHasOneTexturedMaterialWithTwoLooksAndABlackCornerTexel)
{
    OX::Mesh mesh;
    ASSERT_TRUE(mesh.load(QStringLiteral(":/3D/"), QStringLiteral("headset.obj")));
    int textured = 0;
    for (int i = 0; i < mesh.materialCount(); ++i) {
        OX::Material const& material = mesh.material(i);
        if (material.images.isEmpty())
            continue;
        ++textured;
        ASSERT_EQ(material.images.size(), 2);
        for (QImage const& image : material.images) {
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.pixelColor(0, image.height() - 1), QColor(Qt::black));
        }
        EXPECT_NE(material.images[0], material.images[1]);
    }
    EXPECT_EQ(textured, 1);
    int faces = 0;
    for (OX::MeshPart const* part : mesh.parts())
        faces += part->floatCount / OX::MeshPart::FloatsPerFace;
    EXPECT_EQ(faces, mesh.faces().size());
    EXPECT_GT(faces, 200);
}

// Nearest (smallest z) first; triangles at about one depth, as two lying on each other, keep their
// order, and a position that is not a number does not upset the order.
TEST(GLMeshPart, TrianglesGoNearestFirstAndThoseAtOneDepthKeepTheirOrder)
{
    QVector<float> floats; // one float a corner besides x, y, z: the triangle's number
    float const z[] = { 1.0f, -1.0f, 0.05f, 0.0f, -0.5f, std::nanf(""), -1.0f };
    for (int id = 0; id < 7; ++id)
        floats += QVector<float> { 0, 0, z[id], float(id), 1, 0, z[id], float(id), 0, 1, z[id], float(id) };
    OX::GLMeshPart::sortNearestFirst(floats, 4);
    QVector<float> ids;
    for (int t = 0; t < 7; ++t)
        ids << floats[t * 12 + 3];
    EXPECT_EQ(ids, (QVector<float> { 1, 6, 4, 2, 3, 5, 0 }));
}
