#include "ui/toolkit/Mesh.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QtDebug>

#include <cmath>

namespace OX
{

namespace
{

// Only regular files (or resources) are read: a device or a pipe named by a model file could
// block or never end.
bool openText(QFile& file)
{
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly | QIODevice::Text);
}

// Every single space separates, so two in a row give an empty token and a leading space an empty
// keyword.
QStringList tokensOf(QString const& line)
{
    return line.split(QLatin1Char(' '), Qt::KeepEmptyParts);
}

float floatAt(QStringList const& tokens, int index)
{
    // C locale; unreadable or missing text reads 0, and so do "nan" and "inf", which would spoil
    // the model's size and every bound worked out from it.
    float const value = tokens.value(index).toFloat();
    return std::isfinite(value) ? value : 0.0f;
}

int intAt(QString const& text)
{
    return text.toInt(nullptr, 10);
}

QVector3D vectorAt(QStringList const& tokens)
{
    return QVector3D(floatAt(tokens, 1), floatAt(tokens, 2), floatAt(tokens, 3));
}

// A 1-based index into a list of count entries, or -1 (none given).
bool validIndex(int index, int count, bool optional)
{
    return (optional && index == -1) || (index >= 1 && index <= count);
}

// The entry at a 1-based index, or the zero vector where the corner has none.
QVector3D entry(QVector<QVector3D> const& list, int index)
{
    return index >= 1 && index <= list.size() ? list.at(index - 1) : QVector3D();
}

} // namespace

Mesh::Mesh() = default;

Mesh::~Mesh()
{
    clearParts();
}

void Mesh::clearParts()
{
    qDeleteAll(m_parts);
    m_parts.clear();
}

bool Mesh::readFace(QStringList const& tokens, Face& face) const
{
    for (int corner = 0; corner < 3; ++corner) {
        QStringList const pieces = tokens.value(corner + 1).split(QLatin1Char('/'), Qt::KeepEmptyParts);
        face.position[corner] = intAt(pieces.at(0));
        face.texture[corner] = pieces.size() >= 2 && !pieces.at(1).isEmpty() ? intAt(pieces.at(1)) : -1;
        face.normal[corner] = pieces.size() >= 3 && !pieces.at(2).isEmpty() ? intAt(pieces.at(2)) : -1;
        if (!validIndex(face.position[corner], m_positions.size(), false)
            || !validIndex(face.texture[corner], m_textureCoordinates.size(), true)
            || !validIndex(face.normal[corner], m_normals.size(), true))
            return false;
    }
    return true;
}

bool Mesh::load(QString const& path, QString const& name)
{
    QFile file(path + name);
    if (!openText(file))
        return false;

    clearParts();
    m_materials.clear();
    m_materials.push_back(std::make_unique<Material>());
    m_materials.back()->name = QStringLiteral("default");
    m_positions.clear();
    m_textureCoordinates.clear();
    m_normals.clear();
    m_faces.clear();
    int current = 0;
    int skipped = 0;
    int firstSkippedLine = 0;
    int lineNumber = 0;

    QTextStream in(&file);
    while (!in.atEnd()) {
        QStringList const tokens = tokensOf(in.readLine());
        ++lineNumber;
        QString const& keyword = tokens.at(0);
        if (keyword == QLatin1String("mtllib")) {
            if (!loatMtl(path, tokens.value(1)))
                qWarning("Unable to load material from resource \"%s%s\", will use default!",
                    qPrintable(path), qPrintable(tokens.value(1)));
        } else if (keyword == QLatin1String("v")) {
            m_positions.append(vectorAt(tokens));
        } else if (keyword == QLatin1String("vn")) {
            m_normals.append(vectorAt(tokens));
        } else if (keyword == QLatin1String("vt")) {
            m_textureCoordinates.append(QVector3D(
                floatAt(tokens, 1), floatAt(tokens, 2), tokens.size() >= 4 ? floatAt(tokens, 3) : 0.0f));
        } else if (keyword == QLatin1String("usemtl")) {
            current = qMax(0, materialIndexByName(tokens.value(1)));
        } else if (keyword == QLatin1String("f")) {
            Face face;
            face.material = current;
            if (readFace(tokens, face)) {
                ++m_materials.at(size_t(current))->faceCount;
                m_faces.append(face);
            } else if (skipped++ == 0) {
                firstSkippedLine = lineNumber;
            }
        }
    }
    file.close();
    if (skipped > 0)
        qWarning(
            "Skipped %d faces of \"%s%s\" (first at line %d): an index is 0, negative or beyond its list",
            skipped, qPrintable(path), qPrintable(name), firstSkippedLine);
    build(1.0f);
    return true;
}

bool Mesh::loatMtl(QString const& path, QString const& name)
{
    QFile file(path + name);
    if (!openText(file))
        return false;

    Material* current = nullptr; // lines before the first "newmtl" are ignored
    QTextStream in(&file);
    while (!in.atEnd()) {
        QStringList const tokens = tokensOf(in.readLine());
        QString const& keyword = tokens.at(0);
        if (keyword == QLatin1String("newmtl")) {
            m_materials.push_back(std::make_unique<Material>());
            current = m_materials.back().get();
            current->name = tokens.value(1);
        } else if (!current) {
            continue;
        } else if (keyword == QLatin1String("illum")) {
            current->illum = intAt(tokens.value(1));
        } else if (keyword == QLatin1String("Kd")) {
            current->Kd = vectorAt(tokens);
        } else if (keyword == QLatin1String("Ka")) {
            current->Ka = vectorAt(tokens);
        } else if (keyword == QLatin1String("Tf")) {
            current->Tf = vectorAt(tokens);
        } else if (keyword == QLatin1String("Ni")) {
            current->Ni = floatAt(tokens, 1);
        } else if (keyword == QLatin1String("map_Kd")) {
            QString const imagePath = path + tokens.value(1);
            current->images.append(QFileInfo(imagePath).isFile() ? QImage(imagePath) : QImage());
        }
    }
    return true;
}

void Mesh::build(float)
{
    clearParts();
    for (Face const& face : qAsConst(m_faces)) {
        Material const* material = m_materials.at(size_t(face.material)).get();
        MeshPart* part = lookup(material);
        if (!part) {
            part = new MeshPart;
            part->material = material;
            part->vertices.reserve(material->faceCount * MeshPart::FloatsPerFace);
            m_parts.append(part);
        }
        for (int corner = 0; corner < 3; ++corner) {
            QVector3D const position = entry(m_positions, face.position[corner]);
            QVector3D const normal = entry(m_normals, face.normal[corner]);
            QVector3D const uv = entry(m_textureCoordinates, face.texture[corner]);
            part->vertices << position.x() << position.y() << position.z() << normal.x() << normal.y()
                           << normal.z() << uv.x() << uv.y();
            part->floatCount += MeshPart::FloatsPerVertex;
        }
    }
}

MeshPart* Mesh::lookup(Material const* material) const
{
    for (MeshPart* part : m_parts)
        if (part->material == material)
            return part;
    return nullptr;
}

int Mesh::materialIndexByName(QString const& name) const
{
    for (size_t i = 0; i < m_materials.size(); ++i)
        if (m_materials[i]->name == name)
            return int(i);
    return -1;
}

} // namespace OX
