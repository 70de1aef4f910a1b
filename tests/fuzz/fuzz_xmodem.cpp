// The XMODEM sender against any answer a loader (or line noise) may give, on a real serial port
// (a pseudo-terminal). The input is a run of steps, each led by one byte:
//   low 3 bits 0-2  up to 32 bytes of answer, read by the sender as one read of the port
//              3    the line stays silent: an armed time-out fires (time-outs are 0 ms here)
//              4    an upload of one of six files (0 bytes to 5 KiB) is asked for
//              5    recovery mode is asked for
//              6    the port reports an error; a read failure is transient (the upload goes on)
//                   unless bit 6 says the line is gone (the upload ends)
//              7    the sender is stopped and started again
// Everything the sender writes is read back at once and must be a well-made upload of the
// file asked for: numbered blocks in order (a block may be repeated), each carrying its part of
// the file padded with 0xFF under a good CRC, then EOT; no recovery string inside an upload; CAN
// CAN only once an upload failed or was stopped.
// Every upload ends in exactly one uploadFinished (after uploadError for a failure) unless it
// is stopped, and success comes only after every block and the EOT went out.
#include "protocol/SerialLine.h"
#include "protocol/XModem.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace
{

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const int fileSizes[6] = { 0, 1, 1024, 1025, 3000, 5 * 1024 };

struct Rig {
    int master = -1;
    QSerialPort port;
    XModem* sender = nullptr;
    QTemporaryDir folder;
    QByteArray files[6];

    // What the tracked upload has done.
    int file = -1; // the file of the upload in progress, -1 for none
    int blocksSent = 0;
    bool eotSent = false;
    bool errorSeen = false;
    bool present = false;
    bool cancelAllowed = false; // an upload failed or was stopped: the loader may be told (CAN CAN)
    QByteArray wire; // written by the sender, not yet taken apart

    // Reads back all the sender has written and checks it.
    void drain()
    {
        // Bounded: in recovery mode every completed write makes another.
        char buffer[4096];
        for (int round = 0; round < 64; ++round) {
            port.flush();
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                wire.append(buffer, int(n));
            else if (port.bytesToWrite() == 0)
                break;
        }
        parse();
    }

    void parse()
    {
        for (;;) {
            if (wire.isEmpty())
                return;
            if (wire.startsWith(XModem::RECOVERY_STRING)) {
                check(blocksSent == 0 && !eotSent);
                wire.remove(0, 3);
            } else if (wire.at(0) == XModem::CAN) {
                if (wire.size() < 2)
                    return; // the second CAN follows
                check(wire.at(1) == XModem::CAN && cancelAllowed);
                cancelAllowed = false;
                wire.remove(0, 2);
            } else if (wire.at(0) == XModem::EOT) {
                check(file >= 0 && blocksSent * XModem::BLOCK_SIZE >= files[file].size());
                eotSent = true;
                wire.remove(0, 1);
            } else if (wire.at(0) == XModem::STX) {
                if (wire.size() < XModem::FRAME_SIZE)
                    return;
                checkBlock(wire.left(XModem::FRAME_SIZE));
                wire.remove(0, XModem::FRAME_SIZE);
            } else if (QByteArray(XModem::RECOVERY_STRING).startsWith(wire)) {
                return; // the rest of a recovery string follows
            } else {
                check(false); // nothing else is ever written
            }
        }
    }

    void checkBlock(const QByteArray& frame)
    {
        check(file >= 0 && !eotSent);
        const quint8 number = quint8(frame.at(1));
        check(quint8(frame.at(2)) == quint8(255 - number));
        const QByteArray data = frame.mid(3, XModem::BLOCK_SIZE);
        const quint16 crc = quint16(quint8(frame.at(1027)) << 8 | quint8(frame.at(1028)));
        check(XModem::calculateCRC(data) == crc);
        if (number != quint8(blocksSent)) { // not a repeat: the next block
            check(number == quint8(blocksSent + 1));
            ++blocksSent;
        }
        check(blocksSent > 0);
        QByteArray expected = files[file].mid((blocksSent - 1) * XModem::BLOCK_SIZE, XModem::BLOCK_SIZE);
        check(!expected.isEmpty());
        expected.append(QByteArray(XModem::BLOCK_SIZE - expected.size(), char(0xFF)));
        check(data == expected);
    }

    void forgetUpload()
    {
        file = -1;
        blocksSent = 0;
        eotSent = false;
        errorSeen = false;
    }

    // Bytes from the line: handed to the port's reader once all of them are there.
    void answer(const QByteArray& bytes)
    {
        check(::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size());
        int waiting = 0;
        for (int spins = 0; spins < 100000 && waiting < bytes.size(); ++spins)
            ::ioctl(port.handle(), FIONREAD, &waiting);
        port.waitForReadyRead(1000);
    }
};

Rig* rig = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    rig = new Rig;
    for (int i = 0; i < 6; ++i) {
        QByteArray& bytes = rig->files[i];
        for (int b = 0; b < fileSizes[i]; ++b)
            bytes.append(char(b * 7 + b / 1024));
        QFile out(rig->folder.filePath(QString::number(i)));
        check(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    rig->master = ::posix_openpt(O_RDWR | O_NOCTTY);
    check(rig->master >= 0 && ::grantpt(rig->master) == 0 && ::unlockpt(rig->master) == 0);
    ::fcntl(rig->master, F_SETFL, ::fcntl(rig->master, F_GETFL) | O_NONBLOCK);
    rig->port.setPortName(QString::fromLocal8Bit(::ptsname(rig->master)));
    check(rig->port.open(QIODevice::ReadWrite));

    XModem* sender = new XModem(rig->port);
    rig->sender = sender;
    sender->setTimeoutsForTest({ 0, 0, 0 });
    QObject::connect(sender, &XModem::uploadError, [] {
        check(rig->file >= 0 && !rig->errorSeen);
        rig->errorSeen = true;
    });
    QObject::connect(sender, &XModem::uploadFinished, [](bool success) {
        check(rig->file >= 0 && !rig->sender->isBusy());
        check(success != rig->errorSeen);
        rig->cancelAllowed = !success;
        if (success) {
            rig->drain();
            check(rig->eotSent && rig->blocksSent * XModem::BLOCK_SIZE >= rig->files[rig->file].size());
        }
        rig->forgetUpload();
    });
    QObject::connect(sender, &XModem::uploadProgress,
        [](int percent, qint64 remaining) { check(percent >= 0 && percent <= 100 && remaining >= 0); });
    QObject::connect(sender, &XModem::deviceConnected, [] {
        check(!rig->present);
        rig->present = true;
    });
    QObject::connect(sender, &XModem::deviceDisconnected, [] {
        check(rig->present);
        rig->present = false;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QSerialPort::SerialPortError errors[8] = { QSerialPort::ResourceError,
        QSerialPort::ReadError, QSerialPort::WriteError, QSerialPort::NotOpenError, QSerialPort::TimeoutError,
        QSerialPort::UnknownError, QSerialPort::ParityError, QSerialPort::NoError };
    Rig& r = *rig;
    XModem& sender = *r.sender;
    // A fresh start: nothing in flight, no receiver known, nothing on the line.
    r.cancelAllowed = r.cancelAllowed || sender.isBusy();
    sender.stop();
    r.forgetUpload();
    r.drain();
    r.wire.clear();
    r.port.clear();
    sender.start();

    size_t pos = 0;
    while (pos < size) {
        const uchar lead = data[pos++];
        switch (lead & 7) {
        case 3:
            QCoreApplication::processEvents();
            break;
        case 4: {
            const bool busy = sender.isBusy();
            const int file = (lead >> 3) % 6;
            if (!busy) {
                r.drain(); // what went before belongs to no upload
                r.wire.clear();
                r.forgetUpload();
                r.cancelAllowed = false;
                r.file = file;
            }
            check(sender.sendFile(r.folder.filePath(QString::number(file))) == !busy);
            break;
        }
        case 5:
            sender.enableRecoveryMode();
            break;
        case 6: {
            // With bit 6 set, a read failure comes from a line that is gone (the port closed).
            const QSerialPort::SerialPortError error = errors[(lead >> 3) & 7];
            const bool gone = (lead & 0x40) && SerialLine::isReadFailure(error);
            const bool busy = sender.isBusy();
            if (gone)
                r.port.close();
            emit r.port.errorOccurred(error);
            // A read failure on a live line ends no upload; a gone line or a failed write does.
            if (busy && (SerialLine::isReadFailure(error) || error == QSerialPort::WriteError))
                check(sender.isBusy() == (SerialLine::isReadFailure(error) && !gone));
            if (gone)
                check(r.port.open(QIODevice::ReadWrite));
            break;
        }
        case 7:
            r.cancelAllowed = r.cancelAllowed || sender.isBusy();
            sender.stop();
            r.drain();
            r.wire.clear();
            r.forgetUpload();
            sender.start();
            break;
        default: {
            const size_t n = qMin(size - pos, size_t((lead >> 3) + 1));
            if (n > 0)
                r.answer(QByteArray(reinterpret_cast<const char*>(data + pos), int(n)));
            pos += n;
            break;
        }
        }
        r.drain();
    }
    return 0;
}
