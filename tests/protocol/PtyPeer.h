#pragma once
// A pseudo-terminal standing in for a serial line: a QSerialPort opens slavePath() while the
// test talks on the master side. The slave is put in raw mode at once (no echo, no line
// buffering) and held open, so that nothing written before the port opens is lost or echoed.
//
// PtyLoader puts the cabled LINK's firmware loader (the emulator's XMODEM receiver) on the
// master side, with its beacon on a timer.
#include "tools/emulator/XmodemReceiver.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace testutil {

class PtyPeer
{
public:
    PtyPeer() = default;
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;
    ~PtyPeer() { close(); }

    bool open()
    {
        close();
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0)
            return false;
        if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            close();
            return false;
        }
        const char* name = ::ptsname(m_master);
        if (!name) {
            close();
            return false;
        }
        m_slavePath = QString::fromLocal8Bit(name);
        m_slaveHold = ::open(name, O_RDWR | O_NOCTTY);
        if (m_slaveHold < 0) {
            close();
            return false;
        }
        termios tio{};
        if (::tcgetattr(m_slaveHold, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_slaveHold, TCSANOW, &tio);
        }
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readMaster(); });
        return true;
    }

    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    // Bytes towards the port. Returns false when the line is gone.
    bool write(const QByteArray& bytes)
    {
        int done = 0;
        while (m_master >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += int(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd p{m_master, POLLOUT, 0};
                ::poll(&p, 1, 10);
            } else {
                return false;
            }
        }
        return m_master >= 0;
    }

    // Called with every chunk the port wrote; without a reader the bytes are kept for take().
    void setReader(std::function<void(const QByteArray&)> reader) { m_reader = std::move(reader); }
    QByteArray take() { return std::exchange(m_kept, QByteArray()); }
    qint64 bytesFromPort() const { return m_total; }

    // The line goes away, as when the dongle is pulled out: the port sees a hang-up.
    void closeMaster()
    {
        m_notifier.reset();
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    void close()
    {
        closeMaster();
        if (m_slaveHold >= 0)
            ::close(m_slaveHold);
        m_slaveHold = -1;
    }

private:
    void readMaster()
    {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                const QByteArray chunk(buf, int(n));
                m_total += n;
                if (m_reader)
                    m_reader(chunk);
                else
                    m_kept += chunk;
                if (m_master < 0)
                    return; // the reader closed the line
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0 || errno != EAGAIN)
                m_notifier->setEnabled(false);
            return;
        }
    }

    int m_master = -1;
    int m_slaveHold = -1;
    QString m_slavePath;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void(const QByteArray&)> m_reader;
    QByteArray m_kept;
    qint64 m_total = 0;
};

// The LINK's loader on the master side of a PtyPeer.
class PtyLoader
{
public:
    PtyLoader(PtyPeer& peer, int beaconMs) : m_peer(peer)
    {
        m_beacon.setInterval(beaconMs);
        QObject::connect(&m_beacon, &QTimer::timeout, [this] { m_peer.write(receiver.tick()); });
        m_release.setSingleShot(true);
        QObject::connect(&m_release, &QTimer::timeout, [this] { releaseHeld(); });
        m_peer.setReader([this](const QByteArray& in) {
            m_wire += in;
            if (tap)
                tap(in);
            const QByteArray answer = receiver.feed(in);
            if (!answer.isEmpty())
                deliver(answer);
        });
    }
    ~PtyLoader() { m_peer.setReader({}); }

    // Restarts the loader and its beacon.
    void enterBootloader()
    {
        m_peer.write(receiver.enterBootloader());
        m_beacon.start();
    }
    // A LINK that no longer starts; its loader wakes on the recovery string.
    void enterDead()
    {
        receiver.enterDead("Z3Q");
        m_beacon.start();
    }
    void stopBeacon() { m_beacon.stop(); }

    // A loader slow to store a block: the answer numbered `answer` (counted from 1 over the
    // answers to the port's bytes) goes out holdMs late, and the answers that fell due
    // meanwhile follow it in order, gapMs apart.
    void holdAnswer(int answer, int holdMs, int gapMs)
    {
        m_holdAt = answer;
        m_holdMs = holdMs;
        m_gapMs = gapMs;
    }
    // Answers due but not written yet.
    int answersHeld() const { return int(m_held.size()); }

    // Every byte the port wrote, in order.
    const QByteArray& wire() const { return m_wire; }
    void clearWire() { m_wire.clear(); }

    emu::XmodemReceiver receiver;
    // Sees each chunk from the port before the loader does.
    std::function<void(const QByteArray&)> tap;

private:
    void deliver(const QByteArray& answer)
    {
        if (++m_answers == m_holdAt) {
            m_held.push_back(answer);
            m_release.start(m_holdMs);
        } else if (!m_held.empty()) {
            m_held.push_back(answer);
        } else if (m_peer.isOpen()) {
            m_peer.write(answer);
        }
    }

    void releaseHeld()
    {
        if (m_held.empty())
            return;
        if (m_peer.isOpen())
            m_peer.write(m_held.front());
        m_held.pop_front();
        if (!m_held.empty())
            m_release.start(m_gapMs);
    }

    PtyPeer& m_peer;
    QTimer m_beacon;
    QByteArray m_wire;
    QTimer m_release;
    std::deque<QByteArray> m_held;
    int m_answers = 0;
    int m_holdAt = 0;
    int m_holdMs = 0;
    int m_gapMs = 0;
};

} // namespace testutil
