#include "ui/firmware/FirmwareImage.h"

#include <QFile>
#include <QFileInfo>

namespace OX
{

QString FirmwareImage::problemWith(QString const& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        return tr("%1 does not exist.").arg(name);
    // Also a link to something that is not a regular file: reading a pipe waits for a writer.
    if (!info.isFile())
        return tr("%1 is not a regular file and cannot be firmware.").arg(name);
    if (info.size() == 0)
        return tr("%1 is empty: it is not firmware.").arg(name);
    if (info.size() > MaxBytes)
        // One pass: a "%2" in the name stays as it is.
        return tr("%1 is larger than a LINK can hold (%2 KiB at most).")
            .arg(name, QString::number(MaxBytes / 1024));
    // A file the user may not read would be taken, the LINK restarted into its bootloader, and
    // the upload then fail before its first block.
    if (!QFile(path).open(QIODevice::ReadOnly))
        return tr("%1 cannot be read.").arg(name);
    return QString();
}

} // namespace OX
