#pragma once
// XMODEM-1K sender for the LINK module's firmware loader.
//
// The sender owns no port: it works on the dongle's serial port while the dongle has handed
// the line over (pass-through to a cabled LINK). Besides sending a file it watches the
// loader's ready-byte beacon to tell whether a receiver is present, and it can wake a LINK
// whose firmware no longer starts by filling the line with the recovery string until the
// loader answers. Everything runs on the GUI thread, driven by the port's signals and one
// single-shot timer.
//
// Every upload started with sendFile() ends with exactly one uploadFinished(), unless stop()
// or the destruction of the sender ends it first (quietly, at the caller's request).
#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include "protocol/SerialLine.h"

class XModem : public QObject
{
    Q_OBJECT
public:
    // Re-sends of one block (or of the end-of-transmission byte) before the upload is aborted.
    static constexpr int MAX_RETRY = 10;
    // Beacon watch after an upload and while idle, in ms.
    static constexpr int KEEP_ALIVE_TIME = 2000;
    // Wait for the answer to a new block, in ms.
    static constexpr int RESPONSE_TIME = 5000;
    // Wait for the answer to a re-sent block, in ms.
    static constexpr int RETRY_RESPONSE_TIME = 1000;
    // Weight of the newest sample in the smoothed speed.
    static constexpr double SMOOTHING_FACTOR = 0.1;
    // Written, without terminator, to wake the loader of a LINK that no longer starts.
    static constexpr char RECOVERY_STRING[] = "Z3Q";

    // Protocol bytes.
    static constexpr char READY = 0x43; // 'C': the receiver asks for data (also its beacon)
    static constexpr char ACK = 0x06;
    static constexpr char NAK = 0x15;
    static constexpr char STX = 0x02;
    static constexpr char EOT = 0x04;
    static constexpr char CAN = 0x18; // twice: the sender gives up the transfer

    static constexpr int BLOCK_SIZE = 1024;
    static constexpr int FRAME_SIZE = BLOCK_SIZE + 5; // STX, number, complement, data, CRC

    // What drove the last step of the sender.
    enum Event : quint8 {
        EventStart = 0,
        EventAck = 1,
        EventNak = 2,
        EventReadyIdle = 3,
        EventTimeout = 4,
        EventOtherUpload = 5,
        EventOtherIdle = 6,
    };

    // Time-outs in ms. Production code keeps the defaults; tests shorten them.
    struct Timeouts {
        int response = RESPONSE_TIME;
        int retryResponse = RETRY_RESPONSE_TIME;
        int keepAlive = KEEP_ALIVE_TIME;
    };

    XModem(QSerialPort& port, QObject* parent = nullptr);
    ~XModem() override;

    // Starts listening to the port (received bytes, completed writes, errors).
    void start();
    // Stops the timer and stops listening. An upload still running ends quietly: the loader is
    // told the transfer is over (CAN CAN), the file is closed and the sender is no longer busy,
    // without uploadError or uploadFinished. A receiver seen before is forgotten
    // (deviceDisconnected). Recovery mode ends.
    void stop();
    // Starts an upload. Its outcome comes as exactly one uploadFinished (after uploadError for
    // a failure), possibly before this returns: a failure found at once (no receiver, port
    // closed, file unreadable or empty) ends it there. Returns false only for a call while an upload
    // runs: that call is refused and logged with no signal, so that the running upload's
    // listener never takes it for the end of its own upload.
    bool sendFile(const QString& path);
    // Writes the recovery string and writes it again after every completed write, until the
    // loader's first ready byte. Refused while an upload runs.
    void enableRecoveryMode();

    bool isBusy() const { return m_busy; }
    bool isDeviceAvailable() const { return m_receiverPresent; }
    bool isRecoveryModeEnabled() const { return m_recovery; }

    // CRC-16/XMODEM: polynomial 0x1021, initial value 0, most significant bit first, no final XOR.
    static quint16 calculateCRC(const char* data, int size);
    static quint16 calculateCRC(const QByteArray& data)
    {
        return calculateCRC(data.constData(), data.size());
    }

    // For tests only: shorter time-outs.
    void setTimeoutsForTest(const Timeouts& timeouts) { m_timeouts = timeouts; }

signals:
    // percent within 0..100; remainingSeconds is the estimated time left. Emitted after a block
    // is read, only once a speed estimate exists (from the second block on: the speed is that of
    // the blocks acknowledged so far).
    void uploadProgress(int percent, qint64 remainingSeconds);
    void uploadFinished(bool success);
    void uploadError();
    void deviceConnected();
    void deviceDisconnected();

private slots:
    void onSerialportReadyRead();
    void onSerialportBytesWritten(qint64 bytes);
    void onSerialportError(QSerialPort::SerialPortError error);
    void onTimerShot();

private:
    void uploadHandler();
    // Answers that came while the acknowledged block still waits for the answers to its
    // other copies: dropped; the next block goes once none is outstanding.
    void settleAnswers(int answers);
    // Reads the next block of the file (or, at its end, sends EOT) and sends it.
    void sendNextBlock();
    // Sends one block as a frame (STX, number, complement, data padded to 1024, CRC high byte
    // first) and arms the answer time-out; false when the upload ended instead.
    bool sendPacket(const char* data, int size, int timeoutMs);
    bool writeFrame(const QByteArray& frame, int timeoutMs);
    void errorHandler();
    // A loader left in the middle of a transfer takes whatever comes next on the line for the
    // rest of the image, and the dongle's own frames carry the EOT byte that would close a
    // half-sent image as whole: once a block went, a transfer given up ends with CAN CAN.
    void cancelTransfer();
    void finishHandler();
    // Common part of both ends: not busy, file closed, beacon watch re-armed.
    void endUpload();
    void forgetReceiver();
    bool portUsable() const;

    QPointer<QSerialPort> m_port;
    QFile m_file;
    QByteArray m_block;
    quint8 m_event = EventStart;
    QTimer m_timer;
    // Reads a line whose reads keep failing again after growing pauses.
    SerialLine::ReadRetry m_readRetry { this, [this] {
                                           if (m_port)
                                               SerialLine::resumeReading(*m_port);
                                       } };
    quint8 m_blockNumber = 0;
    qint64 m_bytesSent = 0;
    bool m_loaderCancelled = false; // the loader answered CAN: the transfer is over on its side
    qint64 m_fileSize = 0;
    int m_retries = 0;
    // Copies of the current block (or EOT) written and not answered yet. A receiver answers
    // every copy, a duplicate too, so after a re-send the answer of one copy may still be on
    // its way when another copy's ACK has come: taken for the next block's answer it would
    // shift every later answer by one.
    int m_unanswered = 0;
    // The current block is acknowledged; the answers to its other copies are awaited.
    bool m_settling = false;
    double m_progress = 0.0;
    bool m_eotSent = false;
    bool m_receiverPresent = false;
    bool m_busy = false;
    QElapsedTimer m_started;
    double m_speed = 0.0;
    bool m_recovery = false;
    Timeouts m_timeouts;
};
