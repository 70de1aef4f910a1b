#pragma once
// Reply matching: a request names the reply it accepts by header fields and payload bytes; a
// wait block is offered every received frame and reports once, on the first match or when its
// timeout expires.
#include "protocol/DongleResult.h"
#include "protocol/Packet.h"

#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstddef>

class QTimer;

// Payload bytes under a mask. An empty mask accepts everything.
class DataPredicate {
public:
    DataPredicate() = default;
    DataPredicate(const QByteArray& pattern, const QByteArray& mask)
        : pattern(pattern)
        , mask(mask)
    {
    }

    // The command echo: the first payload byte is the command (pattern cmd 0 0, mask FF 00 00).
    static DataPredicate commandEcho(quint8 command);
    // The product match: at least 14 payload bytes, the first being the product code.
    static DataPredicate productMatch(quint8 product);

    bool match(const QByteArray& data) const;
    // "[:11:__:03]": each masked pattern byte in hexadecimal, "__" where it is zero.
    QString toString() const;

    QByteArray pattern;
    QByteArray mask;
};

// A test of one header field: a list of accepted values, or else optional bounds.
template <typename Bound, typename Value>
struct PredicateField {
    Bound min = 0;
    bool minEnabled = false;
    Bound max = 0;
    bool maxEnabled = false;
    QList<Value> values;

    void setExact(Bound v)
    {
        min = max = v;
        minEnabled = maxEnabled = true;
    }
    bool isSet() const { return minEnabled || maxEnabled || !values.isEmpty(); }
    bool test(Bound v) const
    {
        if (!values.isEmpty()) {
            for (const Value& x : values)
                if (Bound(x) == v)
                    return true;
            return false;
        }
        if (minEnabled && v < min)
            return false;
        if (maxEnabled && v > max)
            return false;
        return true;
    }
    QString toString() const
    {
        QString s = QStringLiteral("(");
        if (!values.isEmpty()) {
            QStringList parts;
            for (const Value& x : values)
                parts << QString::number(Bound(x));
            s += parts.join(QLatin1Char(' '));
        } else if (!minEnabled && !maxEnabled) {
            s += QStringLiteral("_");
        } else if (!minEnabled) {
            s += QStringLiteral("_ - ") + QString::number(max);
        } else if (!maxEnabled) {
            s += QString::number(min) + QStringLiteral(" - _");
        } else if (min == max) {
            s += QString::number(min);
        } else {
            s += QString::number(min) + QStringLiteral(" - ") + QString::number(max);
        }
        return s + QStringLiteral(")");
    }
};

// The replies a request accepts. The default predicate accepts every frame.
class PacketPredicate {
public:
    static constexpr quint8 AnyFlags = 0xFF;
    // Bit 0 of the flags marks a reply or an echo; the dongle's own notices carry 0, so a
    // request that waits for its echo must not take a notice with the same command byte.
    static constexpr quint8 EchoFlag = 0x01;

    PacketPredicate() = default;
    // PAN, source, destination and packet id exactly those of the header (a sent or received one).
    PacketPredicate(const PacketHeaderFields& header, quint8 flags);
    PacketPredicate(quint16 pan, quint16 src, quint16 dst, PacketID pid, quint8 flags);
    // Only the packet id.
    PacketPredicate(const PacketID& pid, quint8 flags);
    // Any of count packet ids.
    PacketPredicate(const PacketID* pids, std::size_t count, quint8 flags);

    // data: the payload bytes (without the frame's checksum).
    bool match(const UHRType& header, const QByteArray& data) const;
    // An error record (ERR) from one of the refusedBy sources, to a destination this predicate
    // accepts, on a network id of refusedOn (or, when that is unset, on a PAN this predicate
    // accepts): the addressee will not take the request.
    bool refuses(const UHRType& header) const;
    QString toString() const;

    quint8 flags = AnyFlags;
    PredicateField<quint16, quint16> pan;
    PredicateField<quint16, quint16> src;
    PredicateField<quint16, quint16> dst;
    PredicateField<quint8, PacketID> pid;
    DataPredicate data;
    // Sources whose error record refuses the request; unset: no error record ends the wait.
    PredicateField<quint16, quint16> refusedBy;
    // The network ids on which those error records count, for a predicate that accepts its
    // reply on any PAN: a device at the same address on another network refuses nothing.
    PredicateField<quint16, quint16> refusedOn;
};

// One request of a request list, with the reply it expects.
class SCPDescriptor {
public:
    SCPDescriptor() = default;
    SCPDescriptor(quint16 pan, quint16 src, quint16 dst, PacketID pid, const PacketData& payload,
                  const DataPredicate& data, int timeout, quint8 flags);

    // 0x55 0xAA, F 0, PAN, source, destination, L 0, PID, CH 0.
    Header getHeader() const;
    PacketPredicate getPredicate() const;

    quint16 pan = 0;
    quint16 src = 0;
    quint16 dst = 0;
    PacketID pid = PacketID::RAW;
    PacketData payload;
    PacketPredicate predicate; // used when useStoredPredicate is set
    QByteArray dataPattern;
    QByteArray dataMask;
    bool useStoredPredicate = false;
    bool useExplicitPredicate = true;
    int timeout = 0;
    quint8 flags = PacketPredicate::AnyFlags;
};

class TimedWorker;

// The single pending wait for a reply. Whatever thread creates it, it lives on the timer
// thread (which must run an event loop): its signals, its timer, its release after finished
// and every report happen there. verify() and cancel() belong to that thread too.
//
// Use: create, connect finished to deleteLater and matched to the reply handler, publish it,
// then start(). It reports exactly once through matched: a match with code 0, a refusal (the
// predicate's refuses) with code 13 and the error record, or code 4 with null pointers on
// time-out or cancel. finished follows once it has both started and reported.
class WaitBlock : public QObject {
    Q_OBJECT
public:
    WaitBlock(QThread* timerThread, const PacketPredicate& predicate, int timeoutMs, QObject* parent = nullptr);
    ~WaitBlock() override;

    // Callable from any thread; the timer starts when the timer thread runs it.
    void start();
    // Offers a received frame (header and body, the body being the payload possibly followed by
    // its checksum). Frames offered before the timer has started are not looked at. Returns true
    // for the one frame that matched.
    bool verify(const UHRType& header, const PacketData& data);

    bool isDone() const { return m_done; }
    const PacketPredicate& predicate() const { return m_predicate; }
    int timeout() const { return m_timeout; }
    QThread* timerThread() const { return m_timerThread; }

    // Wait blocks alive in the process (for leak checks).
    static int liveCount();

signals:
    void matched(const UHRType* header, const PacketData* data, DongleResult result);
    void finished();
    void startTimer(int ms);
    void stopTimer();

public slots:
    void expired();
    // Reports code 4 like a time-out; from another thread it is handed to the timer thread.
    void cancel();
    void onTimerStop();

protected:
    // Runs the start and the cancel that another thread handed to this object's thread.
    bool event(QEvent* event) override;

private:
    void doStart();
    // Hands start or cancel from another thread to this object's thread.
    void postToOwnThread(QEvent::Type type);
    void report(const UHRType* header, const PacketData* data, const DongleResult& result);

    PacketPredicate m_predicate;
    int m_timeout;
    bool m_done = false;
    QThread* m_timerThread;
    bool m_started = false;
    bool m_finished = false;
    QPointer<TimedWorker> m_worker;
    std::atomic<bool> m_startPosted { false }; // orders the creator's writes before doStart
};

// The timeout of one wait, on the timer thread. Released together with its wait block.
class TimedWorker : public QObject {
    Q_OBJECT
public:
    using Member = void (WaitBlock::*)();
    TimedWorker(WaitBlock* waiter, Member member);
    ~TimedWorker() override;

    bool isCancelled() const { return m_cancelled; }
    static int liveCount();

signals:
    void done(); // never emitted

public slots:
    void doWork(int ms);
    void cancel();
    void expired();

private:
    bool m_cancelled = false;
    QPointer<WaitBlock> m_waiter; // never called once the wait block is gone
    Member m_member;
    QTimer* m_timer = nullptr;
};
