// The emulator's core: pseudo-terminal, thread, scheduler, fault rules, observation.
#include "tools/emulator/EmulatorImpl.h"
#include "tools/emulator/XmodemReceiver.h"

#include <QCoreApplication>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace emu {

using Lock = std::unique_lock<std::recursive_mutex>;

// ---------------------------------------------------------------- filters and rules

bool FrameFilter::matches(const Frame& f) const
{
    if (packetId >= 0 && f.pid != packetId)
        return false;
    if (command >= 0 && f.cmd() != command)
        return false;
    if (flags >= 0 && f.flags != flags)
        return false;
    if (pan >= 0 && f.pan != pan)
        return false;
    if (src >= 0 && f.src != src)
        return false;
    if (dst >= 0 && f.dst != dst)
        return false;
    if (predicate && !predicate(f))
        return false;
    return true;
}

QString FrameFilter::toString() const
{
    QStringList parts;
    if (packetId >= 0)
        parts << pidName(uint8_t(packetId));
    if (command >= 0)
        parts << QStringLiteral("cmd %1").arg(command);
    if (flags >= 0)
        parts << QStringLiteral("F=%1").arg(flags);
    if (pan >= 0)
        parts << QStringLiteral("PAN=%1").arg(pan);
    if (src >= 0)
        parts << QStringLiteral("S=%1").arg(src);
    if (dst >= 0)
        parts << QStringLiteral("D=%1").arg(dst);
    if (predicate)
        parts << QStringLiteral("predicate");
    return parts.isEmpty() ? QStringLiteral("any") : parts.join(QLatin1Char(' '));
}

QString faultName(Fault f)
{
    switch (f) {
    case Fault::Drop: return QStringLiteral("drop");
    case Fault::Delay: return QStringLiteral("delay");
    case Fault::Duplicate: return QStringLiteral("duplicate");
    case Fault::AnswerOnlyCopy: return QStringLiteral("answer only copy");
    case Fault::CorruptHeaderCrc: return QStringLiteral("corrupt CRC-8");
    case Fault::CorruptChecksum: return QStringLiteral("corrupt checksum");
    case Fault::Truncate: return QStringLiteral("truncate");
    case Fault::GarbageBefore: return QStringLiteral("garbage before");
    case Fault::GarbageAfter: return QStringLiteral("garbage after");
    case Fault::StrayHeaderBefore: return QStringLiteral("stray header before");
    case Fault::LengthHeaderBefore: return QStringLiteral("length header before");
    case Fault::SplitBytes: return QStringLiteral("1-byte writes");
    case Fault::Join: return QStringLiteral("join");
    }
    return QString();
}

namespace {
FaultRule make(Direction dir, FrameFilter f, Fault fault, int times)
{
    FaultRule r;
    r.direction = dir;
    r.filter = std::move(f);
    r.fault = fault;
    r.times = times;
    return r;
}
} // namespace

FaultRule FaultRule::noReply(FrameFilter f, int times)
{
    return make(Direction::FromApp, std::move(f), Fault::Drop, times);
}
FaultRule FaultRule::answerOnlyCopy(FrameFilter f, int copy, int bursts)
{
    FaultRule r = make(Direction::FromApp, std::move(f), Fault::AnswerOnlyCopy, bursts);
    r.copy = copy;
    return r;
}
FaultRule FaultRule::delayRequest(FrameFilter f, int ms, int times)
{
    FaultRule r = make(Direction::FromApp, std::move(f), Fault::Delay, times);
    r.delayMs = ms;
    return r;
}
FaultRule FaultRule::dropReply(FrameFilter f, int times)
{
    return make(Direction::ToApp, std::move(f), Fault::Drop, times);
}
FaultRule FaultRule::delayReply(FrameFilter f, int ms, int times)
{
    FaultRule r = make(Direction::ToApp, std::move(f), Fault::Delay, times);
    r.delayMs = ms;
    return r;
}
FaultRule FaultRule::duplicate(FrameFilter f, int times)
{
    return make(Direction::ToApp, std::move(f), Fault::Duplicate, times);
}
FaultRule FaultRule::corruptHeaderCrc(FrameFilter f, int times)
{
    return make(Direction::ToApp, std::move(f), Fault::CorruptHeaderCrc, times);
}
FaultRule FaultRule::corruptChecksum(FrameFilter f, int times)
{
    return make(Direction::ToApp, std::move(f), Fault::CorruptChecksum, times);
}
FaultRule FaultRule::truncate(FrameFilter f, int keepBytes, int times)
{
    FaultRule r = make(Direction::ToApp, std::move(f), Fault::Truncate, times);
    r.length = keepBytes;
    return r;
}
FaultRule FaultRule::garbageBefore(FrameFilter f, QByteArray bytes, int times)
{
    FaultRule r = make(Direction::ToApp, std::move(f), Fault::GarbageBefore, times);
    r.bytes = std::move(bytes);
    return r;
}
FaultRule FaultRule::garbageAfter(FrameFilter f, QByteArray bytes, int times)
{
    FaultRule r = make(Direction::ToApp, std::move(f), Fault::GarbageAfter, times);
    r.bytes = std::move(bytes);
    return r;
}
FaultRule FaultRule::strayHeaderBefore(FrameFilter f, int times)
{
    return make(Direction::ToApp, std::move(f), Fault::StrayHeaderBefore, times);
}
FaultRule FaultRule::lengthHeaderBefore(FrameFilter f, int length, int times)
{
    FaultRule r = make(Direction::ToApp, std::move(f), Fault::LengthHeaderBefore, times);
    r.length = length;
    return r;
}
FaultRule FaultRule::splitBytes(FrameFilter f, int gapMs, int times)
{
    FaultRule r = make(Direction::ToApp, std::move(f), Fault::SplitBytes, times);
    r.delayMs = gapMs;
    return r;
}
FaultRule FaultRule::join(FrameFilter f, int frames, int times)
{
    FaultRule r = make(Direction::ToApp, std::move(f), Fault::Join, times);
    r.length = frames;
    return r;
}

QString FaultRule::toString() const
{
    QString s = QStringLiteral("%1 %2 on %3")
                    .arg(direction == Direction::FromApp ? QStringLiteral("request")
                                                         : QStringLiteral("to-app"))
                    .arg(faultName(fault))
                    .arg(filter.toString());
    if (fault == Fault::AnswerOnlyCopy)
        s += QStringLiteral(" (copy %1)").arg(copy);
    if (fault == Fault::Delay)
        s += QStringLiteral(" (%1 ms)").arg(delayMs);
    if (skip)
        s += QStringLiteral(" skip %1").arg(skip);
    if (times >= 0)
        s += QStringLiteral(" x%1").arg(times);
    return s;
}

// ---------------------------------------------------------------- Impl: core

Emulator::Impl::Impl(Options o) : opt(o)
{
    int fds[2];
    if (::pipe(fds) == 0) {
        wakeRead = fds[0];
        wakeWrite = fds[1];
        ::fcntl(wakeRead, F_SETFL, ::fcntl(wakeRead, F_GETFL) | O_NONBLOCK);
        ::fcntl(wakeWrite, F_SETFL, ::fcntl(wakeWrite, F_GETFL) | O_NONBLOCK);
        ::fcntl(wakeRead, F_SETFD, FD_CLOEXEC);
        ::fcntl(wakeWrite, F_SETFD, FD_CLOEXEC);
    }
}

Emulator::Impl::~Impl()
{
    closePty();
    if (wakeRead >= 0)
        ::close(wakeRead);
    if (wakeWrite >= 0)
        ::close(wakeWrite);
}

double Emulator::Impl::now() const
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

uint64_t Emulator::Impl::schedule(double delayMs, std::function<void()> fn)
{
    const uint64_t id = nextTask++;
    tasks[id] = Task{now() + qMax(0.0, delayMs), std::move(fn)};
    wake();
    return id;
}

void Emulator::Impl::cancel(uint64_t& id)
{
    if (id)
        tasks.erase(id);
    id = 0;
}

void Emulator::Impl::later(double delayMs, std::function<void()> fn)
{
    if (delayMs <= 0)
        fn();
    else
        schedule(delayMs, std::move(fn));
}

void Emulator::Impl::wake()
{
    if (wakeWrite >= 0) {
        const char c = 1;
        [[maybe_unused]] ssize_t n = ::write(wakeWrite, &c, 1);
    }
}

bool Emulator::Impl::openPty(QString* err)
{
    auto fail = [&](const char* what) {
        if (err)
            *err = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
        closePty();
        return false;
    };
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return fail("posix_openpt");
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return fail("grantpt/unlockpt");
    char name[256] = {0};
    if (::ptsname_r(master, name, sizeof name) != 0)
        return fail("ptsname_r");
    // Our own slave descriptor keeps the line up before the application opens it.
    slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0)
        return fail("open slave");
    termios t;
    if (::tcgetattr(slave, &t) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&t); // no echo: an echo would make every local command match its own frame
    ::cfsetispeed(&t, B57600);
    ::cfsetospeed(&t, B57600);
    if (::tcsetattr(slave, TCSANOW, &t) != 0)
        return fail("tcsetattr");
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    path = QString::fromLocal8Bit(name);
    decoder.reset();
    ptDecoder.reset();
    trace(QStringLiteral("plugged in at %1").arg(path));
    return true;
}

void Emulator::Impl::closePty()
{
    // A removal: our hold on the line goes first, then the master; the application's
    // descriptor then reads end-of-line errors and the path disappears.
    if (slave >= 0)
        ::close(slave);
    slave = -1;
    if (master >= 0)
        ::close(master);
    master = -1;
    out.clear();
    outBytes = 0;
    path.clear();
}

void Emulator::Impl::run()
{
    std::vector<char> buf(4096);
    bool wantWrite = false;
    while (!quit.load()) {
        pollfd fds[2];
        int nfds = 0;
        int timeout = 100;
        {
            Lock lock(mutex);
            const double t = now();
            for (const auto& kv : tasks)
                timeout = qMin(timeout, qMax(0, int(kv.second.due - t + 0.999)));
            if (!out.empty())
                timeout = qMin(timeout, qMax(0, int(out.front().notBefore - t + 0.999)));
            fds[nfds++] = pollfd{wakeRead, POLLIN, 0};
            if (master >= 0)
                fds[nfds++] = pollfd{master, short((readPaused ? 0 : POLLIN) | (wantWrite ? POLLOUT : 0)), 0};
        }
        ::poll(fds, nfds, timeout);
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (::read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
        Lock lock(mutex);
        if (nfds > 1 && master >= 0 && fds[1].fd == master && !readPaused && (fds[1].revents & POLLIN)) {
            for (;;) {
                const ssize_t n = ::read(master, buf.data(), buf.size());
                if (n <= 0)
                    break;
                onBytes(QByteArray(buf.data(), int(n)));
                if (master < 0)
                    break;
            }
        }
        runDueTasks();
        wantWrite = false;
        flushOutput(&wantWrite);
    }
}

void Emulator::Impl::runDueTasks()
{
    for (int round = 0; round < 1000; ++round) {
        const double t = now();
        uint64_t best = 0;
        double bestDue = 0;
        for (const auto& kv : tasks) {
            if (kv.second.due <= t && (!best || kv.second.due < bestDue)) {
                best = kv.first;
                bestDue = kv.second.due;
            }
        }
        if (!best)
            return;
        auto fn = std::move(tasks[best].fn);
        tasks.erase(best);
        if (fn)
            fn();
    }
}

void Emulator::Impl::trace(const QString& line)
{
    const QString text = QStringLiteral("%1 ms  %2").arg(now(), 9, 'f', 1).arg(line);
    traceLines.push_back(text);
    while (int(traceLines.size()) > qMax(1, opt.maxTraceLines))
        traceLines.pop_front();
    if (opt.traceToStderr) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    if (traceSink)
        traceSink(text);
}

void Emulator::Impl::error(const QString& line)
{
    errorList << line;
    trace(QStringLiteral("ERROR  ") + line);
    changed.notify_all();
}

// ---------------------------------------------------------------- input

void Emulator::Impl::onBytes(const QByteArray& bytes)
{
    if (dongleM.passthrough) {
        onPassthroughBytes(bytes);
        return;
    }
    for (const auto& e : decoder.feed(bytes)) {
        if (e.kind == FrameDecoder::Event::Good)
            onAppFrame(e.frame, e.raw, false);
        else
            error(QStringLiteral("invalid bytes from the application: ") + e.describe());
    }
}

void Emulator::Impl::checkAppFrame(const Frame& f, bool passthrough)
{
    // What the application sends: F 0, CH 0, a known request packet with its record size.
    QStringList problems;
    if (f.flags != 0)
        problems << QStringLiteral("F is %1, not 0").arg(f.flags);
    if (f.channel != 0)
        problems << QStringLiteral("CH is %1, not 0").arg(f.channel);
    int expected = -1;
    switch (f.pid) {
    case pid::DCP:
    case pid::HCP:
    case pid::LCP:
    case pid::GRCP: expected = 3; break;
    case pid::KEY: expected = 16; break;
    case pid::CMAP: expected = 25; break;
    case pid::LPP: expected = kLppSize; break;
    default: problems << QStringLiteral("unexpected packet id %1").arg(pidName(f.pid)); break;
    }
    if (expected >= 0 && f.payload.size() != expected)
        problems << QStringLiteral("payload of %1 bytes, not %2").arg(f.payload.size()).arg(expected);
    else if (f.pid == pid::LPP)
        problems << lppLimitProblems(f.payload); // never to reach a wheelchair module
    if (f.pid == pid::DCP && !passthrough && (f.pan || f.src || f.dst))
        problems << QStringLiteral("local command with PAN/S/D not 0");
    if (!problems.isEmpty())
        error(QStringLiteral("invalid frame from the application: %1 (%2)")
                  .arg(f.toString(), problems.join(QStringLiteral(", "))));
}

void Emulator::Impl::onAppFrame(const Frame& f, const QByteArray& raw, bool passthrough)
{
    const double t = now();
    Received r;
    r.seq = rxBase + int(rx.size());
    r.ms = t;
    r.frame = f;
    r.raw = raw;
    r.passthrough = passthrough;
    if (raw == lastRaw && t - lastRxMs <= opt.burstGapMs) {
        r.burst = burstId;
        r.copy = ++lastCopy;
    } else {
        r.burst = ++burstId;
        r.copy = lastCopy = 1;
    }
    lastRaw = raw;
    lastRxMs = t;
    rx.push_back(r);
    while (int(rx.size()) > qMax(1, opt.maxLogFrames)) {
        rx.pop_front();
        ++rxBase;
    }
    trace(QStringLiteral("<- app #%1 copy %2%3  %4")
              .arg(r.seq)
              .arg(r.copy)
              .arg(passthrough ? QStringLiteral(" (cable)") : QString())
              .arg(f.toString()));
    checkAppFrame(f, passthrough);
    changed.notify_all();

    if (hook && hook(f)) {
        trace(QStringLiteral("   handled by the request hook"));
        return;
    }

    // Request rules.
    int handleCount = 1;
    double delay = 0;
    for (auto& rs : rules) {
        const FaultRule& rule = rs.rule;
        if (rule.direction != Direction::FromApp || rs.timesLeft == 0 || !rule.filter.matches(f))
            continue;
        if (rule.fault == Fault::AnswerOnlyCopy) {
            if (r.copy != rule.copy) {
                trace(QStringLiteral("   fault: %1 ignores copy %2").arg(rule.toString()).arg(r.copy));
                handleCount = 0;
                continue;
            }
            ++rs.hits;
            if (rs.timesLeft > 0)
                --rs.timesLeft;
            continue;
        }
        if (rs.skipLeft > 0) {
            --rs.skipLeft;
            continue;
        }
        ++rs.hits;
        if (rs.timesLeft > 0)
            --rs.timesLeft;
        trace(QStringLiteral("   fault: %1").arg(rule.toString()));
        switch (rule.fault) {
        case Fault::Drop: handleCount = 0; break;
        case Fault::Delay: delay += rule.delayMs; break;
        case Fault::Duplicate: handleCount = handleCount ? handleCount + 1 : 0; break;
        default: break;
        }
    }
    for (int i = 0; i < handleCount; ++i) {
        if (delay > 0)
            schedule(delay, [this, f, passthrough] { dispatch(f, passthrough); });
        else
            dispatch(f, passthrough);
    }
}

void Emulator::Impl::dispatch(const Frame& f, bool passthrough)
{
    if (master < 0)
        return;
    if (passthrough) {
        handleCabledFrame(f);
        return;
    }
    if (f.pid == pid::DCP)
        handleLocal(f);
    else
        handleRadio(f);
}

// ---------------------------------------------------------------- output

void Emulator::Impl::pushBytes(const QByteArray& bytes, int gapMs)
{
    if (master < 0 || bytes.isEmpty())
        return;
    Chunk c;
    // A copy of its own: the caller's thread may drop its array while this thread writes, and
    // Qt's shared count is not seen by thread checkers.
    c.bytes = QByteArray(bytes.constData(), bytes.size());
    c.notBefore = now();
    c.gapMs = gapMs;
    out.push_back(c);
    outBytes += bytes.size();
    while (outBytes > opt.maxOutputBytes && out.size() > 1) {
        outBytes -= out.front().bytes.size();
        out.pop_front();
        trace(QStringLiteral("output overflow: the application does not read; oldest bytes dropped"));
    }
    wake();
}

void Emulator::Impl::flushOutput(bool* wantWrite)
{
    while (!out.empty() && master >= 0) {
        Chunk& c = out.front();
        const double t = now();
        if (c.notBefore > t)
            return;
        const int n = c.gapMs > 0 ? 1 : c.bytes.size();
        const ssize_t w = ::write(master, c.bytes.constData(), size_t(n));
        if (w < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                *wantWrite = true;
            else if (errno != EINTR)
                trace(QStringLiteral("write failed: %1").arg(QString::fromLocal8Bit(strerror(errno))));
            return;
        }
        c.bytes.remove(0, int(w));
        outBytes -= int(w);
        if (c.bytes.isEmpty())
            out.pop_front();
        else if (c.gapMs > 0)
            c.notBefore = t + c.gapMs;
    }
}

void Emulator::Impl::emitFrame(Frame f, bool applyFaults, bool dongleChannel)
{
    if (master < 0)
        return;
    if (dongleChannel)
        f.channel = dongleM.channel;
    Sent s;
    s.seq = txBase + int(tx.size());
    s.ms = now();
    s.frame = f;

    QByteArray bytes = f.encode();
    QByteArray before, after;
    bool drop = false;
    int copies = 1;
    double delay = 0;
    int gap = 0;
    QStringList applied;
    std::vector<Rule*> joins;
    if (applyFaults) {
        for (auto& rs : rules) {
            const FaultRule& rule = rs.rule;
            if (rule.direction != Direction::ToApp || rs.timesLeft == 0 || !rule.filter.matches(f))
                continue;
            if (rs.skipLeft > 0) {
                --rs.skipLeft;
                continue;
            }
            ++rs.hits;
            // A Join counts its writes, not its frames (below).
            if (rs.timesLeft > 0 && rule.fault != Fault::Join)
                --rs.timesLeft;
            applied << faultName(rule.fault);
            switch (rule.fault) {
            case Fault::Drop: drop = true; break;
            case Fault::Delay: delay += rule.delayMs; break;
            case Fault::Duplicate: ++copies; break;
            case Fault::CorruptHeaderCrc: bytes[12] = char(uint8_t(bytes[12]) ^ 0x5A); break;
            case Fault::CorruptChecksum: bytes[bytes.size() - 1] = char(uint8_t(bytes[bytes.size() - 1]) ^ 0xA5); break;
            case Fault::Truncate: bytes = bytes.left(rule.length > 0 ? rule.length : 10); break;
            case Fault::GarbageBefore: before.append(rule.bytes.isEmpty() ? QByteArray("\x13\x37\x00\xAA", 4) : rule.bytes); break;
            case Fault::GarbageAfter: after.append(rule.bytes.isEmpty() ? QByteArray("\x13\x37\x00\xAA", 4) : rule.bytes); break;
            case Fault::StrayHeaderBefore: {
                Frame stray;
                stray.pid = pid::DCP;
                QByteArray h = stray.encodeHeader(3);
                h[12] = char(uint8_t(h[12]) ^ 0x01);
                before.append(h);
                break;
            }
            case Fault::LengthHeaderBefore: {
                Frame bad;
                bad.pid = pid::DCP;
                bad.channel = f.channel;
                QByteArray h = bad.encodeHeader(0);
                h[9] = char(rule.length);
                h[12] = char(crc8(h.constData(), 12));
                before.append(h);
                break;
            }
            case Fault::SplitBytes: gap = qMax(1, rule.delayMs); break;
            case Fault::Join: joins.push_back(&rs); break;
            case Fault::AnswerOnlyCopy: break;
            }
        }
    }
    s.fault = applied.join(QStringLiteral(", "));
    tx.push_back(s);
    while (int(tx.size()) > qMax(1, opt.maxLogFrames)) {
        tx.pop_front();
        ++txBase;
    }
    if (opt.traceStatuses || f.pid != pid::SHP || !s.fault.isEmpty())
        trace(QStringLiteral("-> app #%1%2  %3")
                  .arg(s.seq)
                  .arg(s.fault.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(s.fault))
                  .arg(f.toString()));
    changed.notify_all();
    if (drop)
        return;
    QByteArray whole = before + bytes + after;
    QByteArray all;
    for (int i = 0; i < copies; ++i)
        all += whole;
    if (!joins.empty()) {
        Rule* rs = joins.front();
        rs->joined += all;
        if (++rs->joinedCount >= qMax(2, rs->rule.length)) {
            if (rs->timesLeft > 0)
                --rs->timesLeft;
            cancel(rs->joinTask);
            all = rs->joined;
            rs->joined.clear();
            rs->joinedCount = 0;
        } else {
            if (!rs->joinTask) {
                const int id = rs->id;
                rs->joinTask = schedule(opt.joinFlushMs, [this, id] {
                    for (auto& r : rules) {
                        if (r.id == id) {
                            if (r.timesLeft > 0)
                                --r.timesLeft;
                            r.joinTask = 0;
                            pushBytes(r.joined);
                            r.joined.clear();
                            r.joinedCount = 0;
                        }
                    }
                });
            }
            return;
        }
    }
    if (delay > 0)
        schedule(delay, [this, all, gap] { pushBytes(all, gap); });
    else
        pushBytes(all, gap);
}

// ---------------------------------------------------------------- Emulator

Emulator::Emulator(Options options) : d(new Impl(options)) {}

Emulator::~Emulator() { stop(); }

bool Emulator::start(QString* error)
{
    Lock lock(d->mutex);
    if (d->running)
        return true;
    if (d->master < 0 && !d->openPty(error))
        return false;
    d->quit = false;
    d->running = true;
    d->thread = std::thread([this] { d->run(); });
    d->reconcile();
    return true;
}

void Emulator::stop()
{
    {
        Lock lock(d->mutex);
        if (!d->running) {
            d->closePty();
            return;
        }
        d->quit = true;
        d->wake();
    }
    if (d->thread.joinable())
        d->thread.join();
    Lock lock(d->mutex);
    d->running = false;
    d->tasks.clear();
    d->streamTask = d->beaconTask = d->calibrationTask = d->loaderTask = 0;
    d->closePty();
}

QString Emulator::portPath() const
{
    Lock lock(d->mutex);
    return d->path;
}

void Emulator::unplug()
{
    Lock lock(d->mutex);
    if (d->master < 0)
        return;
    d->trace(QStringLiteral("unplugged"));
    d->tasks.clear();
    d->streamTask = d->beaconTask = d->calibrationTask = d->loaderTask = 0;
    for (auto& r : d->rules) {
        r.joinTask = 0;
        r.joined.clear();
        r.joinedCount = 0;
    }
    d->closePty();
    d->restartDongle();
    d->changed.notify_all();
}

bool Emulator::plugIn(QString* error)
{
    Lock lock(d->mutex);
    if (d->master >= 0)
        return true;
    if (!d->openPty(error))
        return false;
    d->restartDongle();
    d->reconcile();
    d->wake();
    return true;
}

bool Emulator::isPlugged() const
{
    Lock lock(d->mutex);
    return d->master >= 0;
}

void Emulator::pauseReading(bool paused)
{
    Lock lock(d->mutex);
    d->readPaused = paused;
    d->trace(paused ? QStringLiteral("dongle busy: the line is not read") : QStringLiteral("dongle reads the line again"));
    d->wake();
}

void Emulator::setTimeScale(double scale)
{
    Lock lock(d->mutex);
    d->opt.timeScale = scale > 0 ? scale : 1.0;
    d->cancel(d->streamTask);
    d->cancel(d->beaconTask);
    d->cancel(d->calibrationTask);
    d->reconcile();
}

Options Emulator::options() const
{
    Lock lock(d->mutex);
    return d->opt;
}

// ---- faults

int Emulator::addFault(const FaultRule& rule)
{
    Lock lock(d->mutex);
    Impl::Rule r;
    r.id = d->nextRuleId++;
    r.rule = rule;
    r.skipLeft = rule.skip;
    r.timesLeft = rule.times;
    d->rules.push_back(r);
    d->trace(QStringLiteral("fault rule %1 added: %2").arg(r.id).arg(rule.toString()));
    return r.id;
}

void Emulator::removeFault(int id)
{
    Lock lock(d->mutex);
    for (auto it = d->rules.begin(); it != d->rules.end(); ++it) {
        if (it->id == id) {
            d->pushBytes(it->joined);
            d->cancel(it->joinTask);
            d->rules.erase(it);
            return;
        }
    }
}

void Emulator::clearFaults()
{
    Lock lock(d->mutex);
    for (auto& r : d->rules) {
        d->pushBytes(r.joined);
        d->cancel(r.joinTask);
    }
    d->rules.clear();
}

int Emulator::faultHits(int id) const
{
    Lock lock(d->mutex);
    for (const auto& r : d->rules)
        if (r.id == id)
            return r.hits;
    return 0;
}

// ---- injection

void Emulator::injectBytes(const QByteArray& bytes)
{
    Lock lock(d->mutex);
    d->trace(QStringLiteral("-> app raw  %1").arg(hex(bytes)));
    d->pushBytes(bytes);
}

void Emulator::injectFrame(Frame frame, bool dongleChannel, bool applyFaults)
{
    Lock lock(d->mutex);
    d->emitFrame(frame, applyFaults, dongleChannel);
}

void Emulator::setRequestHook(std::function<bool(const Frame&)> hook)
{
    Lock lock(d->mutex);
    d->hook = std::move(hook);
}

// ---- observation

std::vector<Received> Emulator::received() const
{
    Lock lock(d->mutex);
    return std::vector<Received>(d->rx.begin(), d->rx.end());
}

std::vector<Sent> Emulator::sent() const
{
    Lock lock(d->mutex);
    return std::vector<Sent>(d->tx.begin(), d->tx.end());
}

int Emulator::mark() const
{
    Lock lock(d->mutex);
    return d->rxBase + int(d->rx.size());
}

int Emulator::receivedCount(const FrameFilter& filter) const
{
    Lock lock(d->mutex);
    int n = 0;
    for (const auto& r : d->rx)
        n += filter.matches(r.frame) ? 1 : 0;
    return n;
}

int Emulator::sentCount(const FrameFilter& filter) const
{
    Lock lock(d->mutex);
    int n = 0;
    for (const auto& s : d->tx)
        n += filter.matches(s.frame) ? 1 : 0;
    return n;
}

bool Emulator::waitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QCoreApplication* app = QCoreApplication::instance();
    const bool pump = app && QThread::currentThread() == app->thread();
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return pred();
        if (pump) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

namespace {
// Waits for the first entry of a frame log (received or sent) matching `filter` with
// seq >= since; `base` is the seq of the log's first entry.
template <class Entry>
std::optional<Entry> waitForEntry(std::recursive_mutex& mutex, const std::deque<Entry>& log, const int& base,
                                  const FrameFilter& filter, int timeoutMs, int since)
{
    std::optional<Entry> found;
    Emulator::waitUntil(
        [&] {
            Lock lock(mutex);
            for (size_t i = size_t(qMax(0, since - base)); i < log.size(); ++i) {
                if (filter.matches(log[i].frame)) {
                    found = log[i];
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}
} // namespace

std::optional<Received> Emulator::waitForFrame(const FrameFilter& filter, int timeoutMs, int since)
{
    return waitForEntry(d->mutex, d->rx, d->rxBase, filter, timeoutMs, since);
}

bool Emulator::waitForCount(const FrameFilter& filter, int count, int timeoutMs, int since)
{
    return waitUntil(
        [&] {
            Lock lock(d->mutex);
            int n = 0;
            for (size_t i = size_t(qMax(0, since - d->rxBase)); i < d->rx.size(); ++i)
                n += filter.matches(d->rx[i].frame) ? 1 : 0;
            return n >= count;
        },
        timeoutMs);
}

std::optional<Sent> Emulator::waitForSent(const FrameFilter& filter, int timeoutMs, int since)
{
    return waitForEntry(d->mutex, d->tx, d->txBase, filter, timeoutMs, since);
}

int Emulator::lastBurstCopies(const FrameFilter& filter) const
{
    Lock lock(d->mutex);
    for (auto it = d->rx.rbegin(); it != d->rx.rend(); ++it) {
        if (!filter.matches(it->frame))
            continue;
        const int burst = it->burst;
        int n = 0;
        for (const auto& r : d->rx)
            n += r.burst == burst ? 1 : 0;
        return n;
    }
    return 0;
}

bool Emulator::waitForQuiet(int quietMs, int timeoutMs, const FrameFilter& filter)
{
    return waitUntil(
        [&] {
            Lock lock(d->mutex);
            double last = -1e9;
            for (auto it = d->rx.rbegin(); it != d->rx.rend(); ++it) {
                if (filter.matches(it->frame)) {
                    last = it->ms;
                    break;
                }
            }
            return d->now() - last >= quietMs;
        },
        timeoutMs);
}

void Emulator::clearLog()
{
    Lock lock(d->mutex);
    d->rxBase += int(d->rx.size());
    d->txBase += int(d->tx.size());
    d->rx.clear();
    d->tx.clear();
    d->errorList.clear();
    d->traceLines.clear();
    d->lastRaw.clear();
}

QStringList Emulator::errors() const
{
    Lock lock(d->mutex);
    // A list of the caller's own: a copy sharing the emulator's would be dropped outside the lock,
    // and the emulator's thread then appends to the same block, as it sees it unshared.
    return QStringList(d->errorList.cbegin(), d->errorList.cend());
}

void Emulator::clearErrors()
{
    Lock lock(d->mutex);
    d->errorList.clear();
}

QStringList Emulator::trace() const
{
    Lock lock(d->mutex);
    QStringList l;
    for (const auto& s : d->traceLines)
        l << s;
    return l;
}

QString Emulator::traceText() const
{
    return trace().join(QLatin1Char('\n'));
}

void Emulator::setTraceSink(std::function<void(const QString&)> sink)
{
    Lock lock(d->mutex);
    d->traceSink = std::move(sink);
}

} // namespace emu
