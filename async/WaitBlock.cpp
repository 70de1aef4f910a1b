#include "async/WaitBlock.h"

#include "async/ThreadHandover.h"

#include "protocol/Print.h"
#include "protocol/Records.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <atomic>

// ---------------------------------------------------------------- DataPredicate

DataPredicate DataPredicate::commandEcho(quint8 command)
{
    QByteArray pattern(3, '\0');
    pattern[0] = char(command);
    QByteArray mask(3, '\0');
    mask[0] = char(0xFF);
    return DataPredicate(pattern, mask);
}

DataPredicate DataPredicate::productMatch(quint8 product)
{
    QByteArray pattern(14, '\0');
    pattern[0] = char(product);
    QByteArray mask(14, '\0');
    mask[0] = char(0xFF);
    return DataPredicate(pattern, mask);
}

bool DataPredicate::match(const QByteArray& data) const
{
    if (mask.size() > pattern.size())
        return true;
    if (mask.size() > data.size())
        return false;
    if (mask.isEmpty())
        return true;
    for (int i = 0; i < mask.size(); ++i) {
        if ((quint8(mask[i]) & (quint8(pattern[i]) ^ quint8(data[i]))) != 0)
            return false;
    }
    return true;
}

QString DataPredicate::toString() const
{
    QString s = QStringLiteral("[");
    const int n = qMin(pattern.size(), mask.size());
    for (int i = 0; i < n; ++i) {
        const quint8 b = quint8(pattern[i]) & quint8(mask[i]);
        s += QLatin1Char(':');
        s += b ? QString::asprintf("%02X", b) : QStringLiteral("__");
    }
    return s + QStringLiteral("]");
}

// ---------------------------------------------------------------- PacketPredicate

PacketPredicate::PacketPredicate(const PacketHeaderFields& header, quint8 f)
    : PacketPredicate(header.PAN, header.S, header.D, header.PID, f)
{
}

PacketPredicate::PacketPredicate(quint16 p, quint16 s, quint16 d, PacketID id, quint8 f)
    : flags(f)
{
    pan.setExact(p);
    src.setExact(s);
    dst.setExact(d);
    pid.setExact(quint8(id));
}

PacketPredicate::PacketPredicate(const PacketID& id, quint8 f)
    : flags(f)
{
    pid.setExact(quint8(id));
}

PacketPredicate::PacketPredicate(const PacketID* pids, std::size_t count, quint8 f)
    : flags(f)
{
    for (std::size_t i = 0; pids && i < count; ++i)
        pid.values.append(pids[i]);
}

bool PacketPredicate::match(const UHRType& header, const QByteArray& payload) const
{
    if (flags != AnyFlags && header.F != flags && (header.F & flags) == 0)
        return false;
    if (!pan.test(header.PAN))
        return false;
    if (!src.test(header.S))
        return false;
    if (!dst.test(header.D))
        return false;
    if (!pid.test(quint8(header.PID)))
        return false;
    return data.match(payload);
}

bool PacketPredicate::refuses(const UHRType& header) const
{
    // An error record addressed elsewhere (another dongle talking to the same device) is no
    // answer to this request, as an acknowledgement addressed elsewhere is none either.
    return refusedBy.isSet() && header.PID == PacketID::ERR && refusedBy.test(header.S) && dst.test(header.D)
        && (refusedOn.isSet() ? refusedOn.test(header.PAN) : pan.test(header.PAN));
}

QString PacketPredicate::toString() const
{
    QString s = QStringLiteral("Packet Predicate (");
    if (pan.isSet())
        s += QStringLiteral("PAN: ") + pan.toString() + QStringLiteral(", ");
    if (src.isSet())
        s += QStringLiteral("SRC: ") + src.toString() + QStringLiteral(", ");
    if (dst.isSet())
        s += QStringLiteral("DST: ") + dst.toString() + QStringLiteral(", ");
    if (pid.isSet())
        s += QStringLiteral("PID: ") + pid.toString() + QStringLiteral(", ");
    if (flags == AnyFlags)
        s += QStringLiteral("Flags: any");
    else
        s += QStringLiteral("Flags: ") + Print::bits(1, flags);
    s += QStringLiteral(")");
    if (!data.pattern.isEmpty() && !data.mask.isEmpty())
        s += QStringLiteral("\n") + QStringLiteral(" Data Predicate ") + data.toString();
    return s;
}

// ---------------------------------------------------------------- SCPDescriptor

SCPDescriptor::SCPDescriptor(quint16 p, quint16 s, quint16 d, PacketID id, const PacketData& body,
    const DataPredicate& dataPredicate, int timeoutMs, quint8 f)
    : pan(p)
    , src(s)
    , dst(d)
    , pid(id)
    , payload(body)
    , dataPattern(dataPredicate.pattern)
    , dataMask(dataPredicate.mask)
    , useStoredPredicate(false)
    , useExplicitPredicate(true)
    , timeout(timeoutMs)
    , flags(f)
{
}

Header SCPDescriptor::getHeader() const
{
    Header h(0, pan, src, dst, pid, 0);
    h.sync[0] = 0x55;
    h.sync[1] = 0xAA;
    h.L = 0;
    return h;
}

PacketPredicate SCPDescriptor::getPredicate() const
{
    if (useStoredPredicate)
        return predicate;
    if (useExplicitPredicate) {
        PacketPredicate p(pan, src, dst, pid, flags);
        p.data = DataPredicate(dataPattern, dataMask);
        return p;
    }
    return PacketPredicate(pid, flags);
}

// ---------------------------------------------------------------- WaitBlock

static std::atomic<int> s_liveWaitBlocks { 0 };
static std::atomic<int> s_liveTimedWorkers { 0 };

// The two hand-overs another thread may make to a wait block.
static QEvent::Type startEventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

static QEvent::Type cancelEventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

static QThread* defaultTimerThread()
{
    if (QCoreApplication::instance())
        return QCoreApplication::instance()->thread();
    return QThread::currentThread();
}

WaitBlock::WaitBlock(QThread* timerThread, const PacketPredicate& predicate, int timeoutMs, QObject* parent)
    : QObject(nullptr)
    , m_predicate(predicate)
    , m_timeout(timeoutMs)
    , m_timerThread(timerThread ? timerThread : defaultTimerThread())
{
    ++s_liveWaitBlocks;
    qRegisterMetaType<DongleResult>();
    if (m_timerThread != thread())
        moveToThread(m_timerThread);
    if (parent) {
        // A parent is only possible on the timer thread, where the object lives.
        if (parent->thread() == m_timerThread && QThread::currentThread() == m_timerThread)
            setParent(parent);
        else
            qWarning() << "WaitBlock: parent on another thread ignored";
    }
    connect(this, &WaitBlock::stopTimer, this, &WaitBlock::onTimerStop);
}

WaitBlock::~WaitBlock()
{
    if (m_worker) {
        if (m_worker->thread() == QThread::currentThread())
            delete m_worker.data();
        else
            m_worker->deleteLater();
    }
    --s_liveWaitBlocks;
}

int WaitBlock::liveCount()
{
    return s_liveWaitBlocks.load();
}

void WaitBlock::start()
{
    // Posting to an object is safe from any thread, and posted events to one thread keep their
    // order: the timer starts before any write the caller queues to that thread afterwards. The
    // block cannot be released before the posted start has run, since finished waits for it.
    m_startPosted.store(true, std::memory_order_release);
    if (QThread::currentThread() == thread())
        doStart();
    else
        postToOwnThread(startEventType());
}

void WaitBlock::postToOwnThread(QEvent::Type type)
{
    // The event is built before the hand-over is marked, so that it too is ordered before
    // event() on the receiving side; Qt's own queue is invisible to the thread checker.
    auto* handover = new QEvent(type);
    OX_HANDOVER_RELEASE(this);
    QCoreApplication::postEvent(this, handover);
}

bool WaitBlock::event(QEvent* e)
{
    // First of all, before this object or the event is looked at: pairs with the release of
    // a thread that posted to this one.
    OX_HANDOVER_ACQUIRE(this);
    if (e->type() == startEventType()) {
        doStart();
        return true;
    }
    if (e->type() == cancelEventType()) {
        expired();
        return true;
    }
    return QObject::event(e);
}

void WaitBlock::doStart()
{
    if (!m_startPosted.load(std::memory_order_acquire))
        return;
    if (m_started)
        return;
    m_started = true;
    if (m_done) {
        // Cancelled before the timer started: nothing to time, release now.
        onTimerStop();
        return;
    }
    m_worker = new TimedWorker(this, &WaitBlock::expired);
    if (m_worker->thread() != m_timerThread)
        m_worker->moveToThread(m_timerThread);
    connect(this, &WaitBlock::stopTimer, m_worker.data(), &TimedWorker::cancel);
    connect(this, &WaitBlock::startTimer, m_worker.data(), &TimedWorker::doWork);
    emit startTimer(m_timeout);
}

bool WaitBlock::verify(const UHRType& header, const PacketData& data)
{
    if (m_done || !m_started)
        return false;
    // The data predicate looks at the payload only, never at the checksum after it.
    const PacketData payload = Frame::payloadOf(header, data);
    // An error record cut short of its code names no error: it refuses nothing, and the request
    // waits on for its answer.
    if (m_predicate.refuses(header) && payload.size() >= ERR::SizeOf) {
        const ERR err(payload);
        qDebug().noquote().nospace() << "*** WaitBlock <REFUSED> *** error " << int(err.code);
        report(&header, &data,
            DongleResult(DongleResult::Refused, QStringLiteral("error %1").arg(int(err.code))));
        return true;
    }
    if (!m_predicate.match(header, payload.bytes()))
        return false;
    qDebug().noquote().nospace() << "*** WaitBlock <MATCH> *** {\n" << m_predicate.toString() << "\n}";
    report(&header, &data, DongleResult());
    return true;
}

void WaitBlock::expired()
{
    if (m_done)
        return;
    qDebug().noquote() << "WaitBlock EXPIRED!";
    report(nullptr, nullptr, DongleResult(DongleResult::TimedOut));
}

void WaitBlock::cancel()
{
    if (QThread::currentThread() != thread()) {
        postToOwnThread(cancelEventType());
        return;
    }
    expired();
}

void WaitBlock::report(const UHRType* header, const PacketData* data, const DongleResult& result)
{
    m_done = true;
    // A receiver of matched may run an event loop of its own (a message box) in which this wait
    // is deleted: nothing further is sent from a deleted wait.
    QPointer<WaitBlock> alive(this);
    emit matched(header, data, result);
    if (alive)
        emit stopTimer();
}

void WaitBlock::onTimerStop()
{
    if (m_worker)
        m_worker->cancel();
    if (m_started && m_done && !m_finished) {
        m_finished = true;
        emit finished();
    }
}

// ---------------------------------------------------------------- TimedWorker

TimedWorker::TimedWorker(WaitBlock* waiter, Member member)
    : QObject(nullptr)
    , m_waiter(waiter)
    , m_member(member)
{
    ++s_liveTimedWorkers;
}

TimedWorker::~TimedWorker()
{
    --s_liveTimedWorkers;
}

int TimedWorker::liveCount()
{
    return s_liveTimedWorkers.load();
}

void TimedWorker::doWork(int ms)
{
    if (m_cancelled)
        return;
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, &TimedWorker::expired);
    }
    m_timer->start(qMax(0, ms));
}

void TimedWorker::cancel()
{
    m_cancelled = true;
    if (m_timer)
        m_timer->stop();
}

void TimedWorker::expired()
{
    if (m_cancelled || !m_waiter || !m_member)
        return;
    (m_waiter.data()->*m_member)();
}
