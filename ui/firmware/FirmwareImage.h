#pragma once
// Whether a file may be sent to a LINK as its firmware. Firmware files are opaque to the
// application, but an image is never empty, is a regular file (a pipe or device would hang the
// window when read) that can be read, and fits the LINK's program memory; a file that fails is
// refused with the reason in the person's words before anything is sent or copied.
#include <QCoreApplication>
#include <QString>

namespace OX
{

class FirmwareImage
{
    Q_DECLARE_TR_FUNCTIONS(OX::FirmwareImage)
public:
    // The largest image taken: a LINK's program memory is smaller (1 MiB at 57600 baud is some
    // three minutes of upload; a 100 MB file would take five hours).
    static constexpr qint64 MaxBytes = 1024 * 1024;

    // Empty when the file at path may be sent; otherwise why not.
    static QString problemWith(QString const& path);
};

} // namespace OX
