#pragma once
// A raw client on the emulator's pseudo-terminal, standing where the application stands.
#include "tools/emulator/Codec.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testtools {

class RawClient {
public:
    explicit RawClient(const QString& path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0) {
            termios t;
            ::tcgetattr(m_fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~RawClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }

    bool write(const QByteArray& bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    bool send(const emu::Frame& f) { return write(f.encode()); }

    // Reads what arrives within timeoutMs (returns early once `atLeast` bytes are in).
    QByteArray read(int timeoutMs, int atLeast = 1 << 30)
    {
        QByteArray out;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < atLeast) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0)
                break;
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(left)) <= 0)
                break;
            if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) {
                m_hangup = true;
                if (!(p.revents & POLLIN))
                    break;
            }
            char buf[4096];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0) {
                m_hangup = true;
                break;
            }
            ++m_reads;
            out.append(buf, int(n));
        }
        return out;
    }

    // Reads until one whole frame matching `pred` arrives (or timeoutMs); frames before it
    // are kept in frames().
    std::vector<emu::Frame> readFrames(int timeoutMs, int count)
    {
        std::vector<emu::Frame> got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (int(got.size()) < count && std::chrono::steady_clock::now() < deadline) {
            for (const auto& e : m_decoder.feed(read(20))) {
                if (e.kind == emu::FrameDecoder::Event::Good)
                    got.push_back(e.frame);
                else
                    m_bad.push_back(e);
            }
        }
        return got;
    }
    const std::vector<emu::FrameDecoder::Event>& badEvents() const { return m_bad; }
    bool hangup() const { return m_hangup; }
    int reads() const { return m_reads; }

private:
    int m_fd = -1;
    bool m_hangup = false;
    int m_reads = 0;
    emu::FrameDecoder m_decoder;
    std::vector<emu::FrameDecoder::Event> m_bad;
};

} // namespace testtools
