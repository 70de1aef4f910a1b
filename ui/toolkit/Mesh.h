#pragma once
// The 3D model of the headset as read from the application's resources: the part of the Wavefront
// OBJ and MTL formats the shipped model uses (positions, texture coordinates, normals, triangles,
// material switches, diffuse colours and diffuse images), turned into one interleaved vertex array
// per material for the 3D headset view. No OpenGL here.
//
// The model file is input: a face naming an index that is 0, negative or beyond what was read so
// far is skipped with a warning; a corner without a normal gets (0, 0, 0); a number that is
// missing, unreadable or not finite reads 0. A part's material pointer stays valid until the next
// load.
#include <QImage>
#include <QList>
#include <QString>
#include <QVector3D>
#include <QVector>

#include <memory>
#include <vector>

namespace OX
{

struct Material {
    QString name;
    int illum = 4;
    QVector3D Kd { 0.5f, 0.5f, 0.5f }; // diffuse colour
    QVector3D Ka { 0.0f, 0.0f, 0.0f }; // ambient colour
    QVector3D Tf { 1.0f, 1.0f, 1.0f }; // transmission filter
    float Ni = 1.0f; // optical density
    // One per "map_Kd" line, in file order; an unreadable file leaves a null image in its place.
    QList<QImage> images;
    // Faces of the loaded model that use this material.
    int faceCount = 0;
};

// One triangle; indices are 1-based as written in the file, -1 where the file gives none.
struct Face {
    int position[3] = { -1, -1, -1 };
    int texture[3] = { -1, -1, -1 };
    int normal[3] = { -1, -1, -1 };
    int material = 0;
};

// The geometry of one material: 8 floats per vertex (position, normal, uv), 3 vertices per face.
struct MeshPart {
    static constexpr int FloatsPerVertex = 8;
    static constexpr int FloatsPerFace = 3 * FloatsPerVertex;

    QVector<float> vertices;
    int floatCount = 0;
    Material const* material = nullptr; // not owned; compared by address
};

class Mesh
{
public:
    Mesh();
    virtual ~Mesh();
    Mesh(Mesh const&) = delete;
    Mesh& operator=(Mesh const&) = delete;

    // Reads the OBJ file path + name and builds the parts; false, with the mesh unchanged, only
    // when the file cannot be opened.
    virtual bool load(QString const& path, QString const& name);
    // Appends the materials of the MTL file path + name; false only when it cannot be opened.
    virtual bool loatMtl(QString const& path, QString const& name);
    // Rebuilds the parts from the faces; the scale does not change the output.
    virtual void build(float scale);

    // The first part drawn with material (same address), or null.
    MeshPart* lookup(Material const* material) const;
    // The index of the first material named name exactly, or -1.
    int materialIndexByName(QString const& name) const;

    QList<MeshPart*> const& parts() const { return m_parts; }
    int materialCount() const { return int(m_materials.size()); }
    Material const& material(int index) const { return *m_materials.at(size_t(index)); }
    QVector<QVector3D> const& positions() const { return m_positions; }
    QVector<QVector3D> const& textureCoordinates() const { return m_textureCoordinates; }
    QVector<QVector3D> const& normals() const { return m_normals; }
    QVector<Face> const& faces() const { return m_faces; }

private:
    void clearParts();
    // A face line's corners; false when one names an index outside the lists read so far.
    bool readFace(QStringList const& tokens, Face& face) const;

    QVector<QVector3D> m_positions;
    QVector<QVector3D> m_textureCoordinates;
    QVector<QVector3D> m_normals;
    // Held by pointer so that a part's material never moves while materials are added.
    std::vector<std::unique_ptr<Material>> m_materials;
    QVector<Face> m_faces;
    QList<MeshPart*> m_parts;
};

} // namespace OX
