// Feeds arbitrary OBJ and MTL text to the model loader: the input is cut at its first NUL byte
// into the model and its material library. Nothing may read or write out of bounds, a part
// holds 24 floats per kept face, and the kept faces are those the materials count.
#include "ui/toolkit/Mesh.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void quiet(QtMsgType, QMessageLogContext const&, QString const&) { }

void write(QString const& path, QByteArray const& bytes)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString folder()
{
    static QString const path = [] {
        QByteArray templ = QDir::tempPath().toLocal8Bit() + "/fuzz_mesh_XXXXXX";
        check(mkdtemp(templ.data()) != nullptr);
        return QString::fromLocal8Bit(templ) + QLatin1Char('/');
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    if (size > 4096)
        return 0;
    qInstallMessageHandler(quiet);
    QByteArray const bytes(reinterpret_cast<char const*>(data), int(size));
    if (bytes.contains("..")) // the loader reads only below its own folder
        return 0;
    int const cut = bytes.indexOf('\0');
    write(folder() + QStringLiteral("m.obj"), cut < 0 ? bytes : bytes.left(cut));
    write(folder() + QStringLiteral("m.mtl"), cut < 0 ? QByteArray() : bytes.mid(cut + 1));

    OX::Mesh mesh;
    check(mesh.load(folder(), QStringLiteral("m.obj")));
    mesh.loatMtl(folder(), QStringLiteral("m.mtl"));
    mesh.build(1.0f);
    int kept = 0;
    for (int i = 0; i < mesh.materialCount(); ++i)
        kept += mesh.material(i).faceCount;
    check(kept == mesh.faces().size());
    int floats = 0;
    for (OX::MeshPart const* part : mesh.parts()) {
        check(part->floatCount == part->vertices.size());
        check(part->floatCount % OX::MeshPart::FloatsPerFace == 0);
        check(mesh.lookup(part->material) == part);
        floats += part->floatCount;
    }
    check(floats == kept * OX::MeshPart::FloatsPerFace);
    return 0;
}
