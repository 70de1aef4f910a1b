#include "protocol/XModem.h"

#include "protocol/Print.h"
#include "protocol/SerialLine.h"

#include <QDebug>

#include <algorithm>
#include <array>

namespace
{

constexpr std::array<quint16, 256> makeCrcTable()
{
    std::array<quint16, 256> table {};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = quint16(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
        table[size_t(i)] = crc;
    }
    return table;
}

constexpr std::array<quint16, 256> kCrcTable = makeCrcTable();

// An estimate beyond this many seconds says nothing more; it also keeps the conversion from
// double to qint64 defined for a crawling line.
constexpr double kMaxRemainingSeconds = 1e12;

// Bytes of a read that answer a block: all but the ready bytes of the loader's beacon.
int answerCount(const QByteArray& bytes)
{
    return int(bytes.size() - bytes.count(XModem::READY));
}

} // namespace

quint16 XModem::calculateCRC(const char* data, int size)
{
    quint16 crc = 0;
    for (int i = 0; i < size; ++i)
        crc = quint16((crc << 8) ^ kCrcTable[((crc >> 8) ^ quint8(data[i])) & 0xFF]);
    return crc;
}

XModem::XModem(QSerialPort& port, QObject* parent)
    : QObject(parent)
    , m_port(&port)
    , m_block(BLOCK_SIZE, char(0xFF))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &XModem::onTimerShot);
}

XModem::~XModem()
{
    // Destruction (for instance with the dongle when it is unplugged) ends everything quietly:
    // no signal reaches listeners that may already be gone. The port may be gone too; the
    // connections to it are dropped by QObject.
    m_timer.stop();
    m_busy = false;
    m_recovery = false;
    if (m_file.isOpen())
        m_file.close();
}

void XModem::start()
{
    if (!m_port) {
        qWarning() << "XMODEM: no serial port to listen to";
        return;
    }
    connect(m_port, &QSerialPort::readyRead, this, &XModem::onSerialportReadyRead, Qt::UniqueConnection);
    connect(m_port, &QIODevice::bytesWritten, this, &XModem::onSerialportBytesWritten, Qt::UniqueConnection);
    connect(m_port, &QSerialPort::errorOccurred, this, &XModem::onSerialportError, Qt::UniqueConnection);
}

void XModem::stop()
{
    m_timer.stop();
    m_readRetry.stop();
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    m_recovery = false;
    if (m_busy) {
        qDebug() << "XMODEM: upload stopped";
        cancelTransfer();
        m_busy = false;
        if (m_file.isOpen())
            m_file.close();
    }
    if (m_receiverPresent)
        forgetReceiver();
}

bool XModem::sendFile(const QString& path)
{
    if (m_busy) {
        // No signal here: the running upload's listener would take it for its own end.
        qWarning().noquote() << "XMODEM: an upload is already running, refused:" << path;
        return false;
    }
    m_blockNumber = 0;
    m_bytesSent = 0;
    m_loaderCancelled = false;
    m_fileSize = 0;
    m_retries = 0;
    m_unanswered = 0;
    m_settling = false;
    m_eotSent = false;
    m_event = EventStart;
    m_progress = 0.0;

    if (!m_receiverPresent) {
        qDebug() << "Remote device not available";
        errorHandler();
        return true;
    }
    if (!portUsable()) {
        qDebug() << "Serialport not open, file sending aborted";
        errorHandler();
        return true;
    }
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path);
    // Unbuffered: each block is read from the file when it is sent, so a file that changes
    // under the upload is noticed instead of being sent from a stale read-ahead.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || m_file.isSequential()) {
        // A pipe or device has no size to send blocks from; it is refused like a missing file.
        qDebug().noquote() << "failed to open file" << path;
        errorHandler();
        return true;
    }
    m_fileSize = m_file.size();
    if (m_fileSize == 0) {
        // A lone end of transmission would be acknowledged as a complete upload.
        qDebug().noquote() << "empty file, nothing to send:" << path;
        errorHandler();
        return true;
    }
    m_timer.stop();
    if (m_recovery) {
        // Recovery strings must never run between the blocks of an upload.
        m_recovery = false;
        m_port->clear(QSerialPort::Output);
    }
    m_started.start();
    m_speed = 0.0;
    m_busy = true;
    uploadHandler();
    return true;
}

void XModem::enableRecoveryMode()
{
    if (m_busy) {
        // The recovery string between the blocks of an upload would corrupt it.
        qWarning() << "XMODEM: an upload is running, recovery mode refused";
        return;
    }
    m_recovery = true;
    if (!portUsable()) {
        qWarning() << "XMODEM: serial port not open, recovery string not written";
        return;
    }
    m_port->write(RECOVERY_STRING, qint64(sizeof(RECOVERY_STRING) - 1));
}

void XModem::onSerialportReadyRead()
{
    if (!m_port)
        return;
    const QByteArray data = m_port->readAll();
    if (data.isEmpty())
        return;
    m_readRetry.received();

    if (m_busy) {
        // Ready bytes only show that the loader is still there; they neither answer the block
        // nor disarm its time-out. Every other byte answers one copy of the block.
        const int answers = answerCount(data);
        if (answers == 0) {
            qDebug() << "KEEP_ALIVE";
            if (!m_timer.isActive())
                m_timer.start(m_timeouts.retryResponse);
            return;
        }
        if (m_settling) {
            settleAnswers(answers);
            return;
        }
        m_timer.stop();
        // The first answer drives the next step; the others in this read answered copies
        // written before and are dropped.
        m_unanswered = std::max(0, m_unanswered - answers);
        const char c = *std::find_if(data.cbegin(), data.cend(), [](char b) { return b != READY; });
        if (c == ACK) {
            qDebug() << "ACK";
            m_event = EventAck;
        } else if (c == NAK) {
            qDebug() << "NAK";
            m_event = EventNak;
        } else {
            qDebug().noquote() << "unknown ACK code:" << QString::asprintf("%02X", unsigned(quint8(c)));
            // A loader that cancels has ended the transfer itself: it is not told again.
            m_loaderCancelled = c == CAN;
            m_event = EventOtherUpload;
        }
        uploadHandler();
        return;
    }

    m_timer.stop();
    // Without a receiver, a ready byte anywhere in the read is the loader's: a loader woken by
    // the recovery string commonly answers the junk before it with a NAK, then asks for data.
    // With one, only the first byte counts. Either way several ready bytes in one read count
    // as one.
    const char c = !m_receiverPresent && data.contains(READY) ? READY : data.at(0);
    m_event = c == READY ? EventReadyIdle : EventOtherIdle;
    if (c == READY && m_recovery) {
        // The loader answered (also when it was already there): recovery strings still
        // queued would only reach it as noise.
        m_recovery = false;
        m_port->clear(QSerialPort::Output);
    }
    if (m_receiverPresent) {
        if (c == READY)
            m_timer.start(m_timeouts.keepAlive);
        else
            forgetReceiver();
        return;
    }
    if (c != READY)
        return;
    m_receiverPresent = true;
    emit deviceConnected();
}

void XModem::onSerialportBytesWritten(qint64)
{
    if (m_recovery && portUsable())
        m_port->write(RECOVERY_STRING, qint64(sizeof(RECOVERY_STRING) - 1));
}

void XModem::onSerialportError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::NotOpenError:
        break;
    default:
        return;
    }
    if (SerialLine::isReadFailure(error) && m_port && !SerialLine::isGone(m_port, error)) {
        // A read that failed on a live line (a wake-up with nothing to read) ends nothing: the
        // line is read again from the event loop, after a pause that grows while the failures
        // go on, and the upload's own time-outs and retries still hold.
        qDebug().noquote() << "XMODEM: read failed on a live line, reading again:" << m_port->errorString();
        m_readRetry.failed(*m_port);
        return;
    }
    qWarning().noquote() << "XMODEM: serial port error" << int(error)
                         << (m_port ? m_port->errorString() : QString());
    // The line is gone: nothing more is written on it.
    m_recovery = false;
    if (m_busy) {
        errorHandler();
        return;
    }
    m_timer.stop();
    if (m_receiverPresent)
        forgetReceiver();
}

void XModem::onTimerShot()
{
    if (m_busy && m_settling) {
        // The line stayed quiet: the other copies' answers were lost.
        qDebug() << "XMODEM: no more late answers, going on";
        sendNextBlock();
        return;
    }
    qDebug() << "XMODEM timed out";
    m_event = EventTimeout;
    if (m_busy) {
        uploadHandler();
        return;
    }
    if (m_receiverPresent)
        forgetReceiver();
}

void XModem::uploadHandler()
{
    if (!m_busy)
        return;
    // Each branch ends with the step that may emit a signal: a listener may destroy the sender
    // there, so nothing touches the object afterwards.
    switch (m_event) {
    case EventAck:
        if (m_eotSent) {
            qDebug() << "file sent";
            if (m_port) {
                const QByteArray rest = m_port->readAll();
                if (!rest.isEmpty())
                    qDebug().noquote() << "XMODEM: after EOT:" << rest.toHex(' ');
            }
            finishHandler();
            return;
        }
        if (m_unanswered > 0) {
            // A re-sent block: the answer to another copy may still be on its way, and taken
            // for the next block's answer it would shift every later answer by one.
            qDebug() << "XMODEM: block acknowledged, awaiting the answers to its other copies:"
                     << m_unanswered;
            m_settling = true;
            m_timer.start(m_timeouts.retryResponse);
            return;
        }
        sendNextBlock();
        return;
    case EventStart:
        sendNextBlock();
        return;
    case EventNak:
    case EventReadyIdle:
    case EventTimeout:
        if (m_retries >= MAX_RETRY) {
            qDebug() << "Maximum retry count reached, aborting...";
            errorHandler();
            return;
        }
        ++m_retries;
        // The end-of-transmission byte is repeated like a block: a receiver NAKs it or misses it.
        // Its answer is awaited as long as a new block's: a receiver that acknowledges only
        // after a second of silence must not see another EOT within that second.
        if (m_eotSent)
            writeFrame(QByteArray(1, EOT), m_timeouts.response);
        else
            sendPacket(m_block.constData(), BLOCK_SIZE, m_timeouts.retryResponse);
        return;
    case EventOtherUpload:
    case EventOtherIdle:
    default:
        errorHandler();
        return;
    }
}

void XModem::settleAnswers(int answers)
{
    qDebug() << "XMODEM: dropped" << answers << "late answer(s) to an acknowledged block";
    m_unanswered = std::max(0, m_unanswered - answers);
    if (m_unanswered > 0) {
        // Not quiet yet: the next answer gets its own time.
        m_timer.start(m_timeouts.retryResponse);
        return;
    }
    m_timer.stop();
    sendNextBlock();
}

void XModem::sendNextBlock()
{
    m_settling = false;
    m_unanswered = 0;
    m_retries = 0;
    ++m_blockNumber; // u8: wraps from 255 to 0
    if (m_bytesSent >= m_fileSize) {
        qDebug() << "EOT";
        m_eotSent = true;
        writeFrame(QByteArray(1, EOT), m_timeouts.response);
        return;
    }
    const qint64 wanted = std::min<qint64>(BLOCK_SIZE, m_fileSize - m_bytesSent);
    const qint64 got = m_file.read(m_block.data(), wanted);
    if (got != wanted) {
        // A short or failed read is never counted as sent: a truncated image must not be
        // reported as uploaded.
        qWarning().noquote() << "XMODEM: failed to read file" << m_file.fileName() << m_file.errorString();
        errorHandler();
        return;
    }
    std::fill(m_block.begin() + int(got), m_block.end(), char(0xFF));
    // The speed is that of the blocks the receiver has taken, not counting this one, which is
    // not even sent yet. (Counted with the new block and smoothed up from zero, the first
    // estimates promised five times the time still needed.)
    const qint64 acknowledged = m_bytesSent;
    m_bytesSent += got;
    m_progress = double(m_bytesSent) / double(m_fileSize);
    const qint64 elapsedMs = m_started.elapsed();
    if (elapsedMs > 0 && acknowledged > 0)
        m_speed = OX::smoothed(m_speed, double(acknowledged * 1000 / elapsedMs), SMOOTHING_FACTOR);
    qDebug() << "packet:" << m_blockNumber;
    qDebug().noquote() << "bytes transfered:"
                       << QString::asprintf("%10lld / %10lld", m_bytesSent, m_fileSize);
    qDebug() << "Percentage: " << m_progress;

    if (!sendPacket(m_block.constData(), BLOCK_SIZE, m_timeouts.response))
        return;
    if (elapsedMs > 0 && m_speed > 0.0) {
        const int percent = std::clamp(int(m_progress * 100.0), 0, 100);
        const double remaining = double(m_fileSize - m_bytesSent) / m_speed;
        emit uploadProgress(percent, qint64(std::clamp(remaining, 0.0, kMaxRemainingSeconds)));
    }
}

bool XModem::sendPacket(const char* data, int size, int timeoutMs)
{
    QByteArray frame;
    frame.reserve(FRAME_SIZE);
    frame.append(STX);
    frame.append(char(m_blockNumber));
    frame.append(char(255 - m_blockNumber));
    frame.append(data, std::min(size, int(BLOCK_SIZE)));
    if (frame.size() < 3 + BLOCK_SIZE)
        frame.append(QByteArray(3 + BLOCK_SIZE - frame.size(), char(0xFF)));
    const quint16 crc = calculateCRC(frame.constData() + 3, BLOCK_SIZE);
    frame.append(char(crc >> 8));
    frame.append(char(crc & 0xFF));
    return writeFrame(frame, timeoutMs);
}

bool XModem::writeFrame(const QByteArray& frame, int timeoutMs)
{
    if (!portUsable()) {
        qDebug() << "Serialport not open, file sending aborted";
        errorHandler();
        return false;
    }
    // Whatever waits now answers copies written before, never this one.
    const QByteArray stale = m_port->readAll();
    if (!stale.isEmpty())
        qDebug().noquote() << "XMODEM: dropped before writing:" << stale.left(16).toHex(' ');
    m_unanswered = std::max(0, m_unanswered - answerCount(stale));
    const qint64 written = m_port->write(frame);
    if (written != frame.size()) {
        qWarning().noquote() << "XMODEM: serial port write failed:" << m_port->errorString();
        errorHandler();
        return false;
    }
    ++m_unanswered;
    m_timer.start(timeoutMs);
    return true;
}

void XModem::endUpload()
{
    m_busy = false;
    // The beacon watch resumes: a loader that went away is noticed.
    m_timer.start(m_timeouts.keepAlive);
    if (m_file.isOpen())
        m_file.close();
}

void XModem::cancelTransfer()
{
    if (m_bytesSent == 0 || m_loaderCancelled || !portUsable())
        return;
    qDebug() << "XMODEM: transfer cancelled";
    m_port->write(QByteArray(2, CAN));
}

void XModem::errorHandler()
{
    cancelTransfer();
    endUpload();
    QPointer<XModem> self(this);
    emit uploadError();
    if (!self)
        return;
    emit uploadFinished(false);
}

void XModem::finishHandler()
{
    endUpload();
    emit uploadFinished(true);
}

void XModem::forgetReceiver()
{
    m_receiverPresent = false;
    emit deviceDisconnected();
}

bool XModem::portUsable() const
{
    return m_port && m_port->isOpen();
}
