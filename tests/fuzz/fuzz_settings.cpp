// Arbitrary settings files for the settings-file check and for Settings built on them: nothing
// the check lets through may crash or exhaust Qt's own reader. The first byte chooses whether
// the rest is the whole file, or the stream inside one "@Variant(...)" value of the profile
// list (the value QSettings reads through its data-stream reader).
#include "app/Settings.h"
#include "app/SettingsFileCheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>

namespace
{

QTemporaryDir* folder = nullptr;

// Every byte as a hexadecimal escape, so the value is the given bytes exactly.
QByteArray escaped(const QByteArray& bytes)
{
    QByteArray out;
    for (const char c : bytes)
        out += "\\x" + QByteArray::number(uchar(c), 16);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    folder = new QTemporaryDir;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data + 1), int(size - 1));
    SettingsFileCheck::isSafeVariant(input);
    const QByteArray file
        = (data[0] & 1) ? "[profile]\nlist=@Variant(" + escaped(input) + ")\nselected=x\n" : input;

    const QString path = folder->filePath(QStringLiteral("OrvixTools.conf"));
    QFile::remove(path + QStringLiteral(".damaged"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    out.write(file);
    out.close();

    Settings settings(path, nullptr);
    settings.linkProfiles();
    settings.sidebarOpacity();
    settings.language();
    settings.serviceUrl();
    return 0;
}
