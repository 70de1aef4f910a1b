#include "async/OperationQueue.h"

#include "async/ThreadHandover.h"

#include <QDebug>

#include <atomic>
#include <chrono>
#include <exception>

static std::atomic<int> s_liveOperations { 0 };

Operation::Operation(QObject* parent)
    : QObject(parent)
{
    ++s_liveOperations;
}

Operation::~Operation()
{
    --s_liveOperations;
}

int Operation::liveOperations()
{
    return s_liveOperations.load();
}

OperationFunction::OperationFunction(std::function<void(QThread*)> fn, QObject* parent)
    : Operation(parent)
    , m_fn(std::move(fn))
{
}

void OperationFunction::run(QThread* thread)
{
    if (!m_fn) {
        qWarning().noquote() << "Operation without a function skipped";
        return;
    }
    m_fn(thread);
}

OperationQueue::OperationQueue(const QString& name, bool verbose, QObject* parent)
    : QThread(parent)
    , m_name(name)
    , m_verbose(verbose)
    , m_creatorThread(QThread::currentThread())
{
    setObjectName(QStringLiteral("Operation Queue <%1>").arg(name));
    start(QThread::InheritPriority);
}

OperationQueue::~OperationQueue()
{
    qDebug().noquote().nospace() << "Destroy operation queue <" << m_name << "> ...";
    cancelAllOperations(false);
    QList<Operation*> late;
    {
        std::unique_lock<std::mutex> locker(m_lock);
        m_stopping = true;
        // Added by another thread since the cancel: the worker stops without taking it.
        late.swap(m_operations);
        m_wake.notify_all();
        m_idleChanged.notify_all();
    }
    qDeleteAll(late);
    if (QThread::currentThread() != this) {
        // Joined through the queue's own lock first, so that everything the worker did is
        // ordered before this destructor also for tools that cannot see into QThread.
        std::unique_lock<std::mutex> locker(m_lock);
        while (!m_exited) {
            if (m_idleChanged.wait_for(locker, std::chrono::milliseconds(100)) == std::cv_status::timeout
                && isFinished())
                break;
        }
        locker.unlock();
        wait();
        // QThread ends its thread with locks of its own, which the thread checker cannot see.
        OX_HANDOVER_ACQUIRE(this);
    }
    qDebug().noquote().nospace() << "Operation queue <" << m_name << "> destroyed.";
}

void OperationQueue::addOperation(Operation* op)
{
    if (!op)
        return;
    std::unique_lock<std::mutex> locker(m_lock);
    if (m_stopping) {
        locker.unlock();
        qWarning().noquote().nospace() << "Operation queue <" << m_name << ">: stopped, operation dropped";
        delete op;
        return;
    }
    if (m_verbose)
        qDebug().noquote().nospace() << "Operation queue <" << m_name << ">: add operation at ["
                                     << m_operations.size() << "]";
    m_operations.append(op);
    m_wake.notify_one();
}

void OperationQueue::addOperation(std::function<void(QThread*)> fn)
{
    addOperation(new OperationFunction(std::move(fn)));
}

bool OperationQueue::hasOperations() const
{
    std::unique_lock<std::mutex> locker(m_lock);
    return !m_operations.isEmpty();
}

void OperationQueue::cancelAllOperations(bool wait)
{
    qDebug().noquote().nospace() << "Cancel all operations in queue <" << m_name << "> ...";
    QList<Operation*> dropped;
    {
        std::unique_lock<std::mutex> locker(m_lock);
        dropped.swap(m_operations);
        if (isIdleLocked())
            m_idleChanged.notify_all();
    }
    // Deleted outside the lock: an operation's destructor may touch this queue.
    qDeleteAll(dropped);

    // Waiting on the creator thread would stall its event loop, and on the worker itself
    // (an operation cancelling its own queue) it would wait for itself.
    QThread* current = QThread::currentThread();
    if (wait && current != m_creatorThread && current != this)
        waitForAllOperationsFinished();
    qDebug().noquote().nospace() << "All operations are canceled in queue <" << m_name << ">";
}

void OperationQueue::waitForAllOperationsFinished()
{
    qDebug().noquote().nospace() << "Start waiting for queue <" << m_name << "> ...";
    if (QThread::currentThread() != this) {
        std::unique_lock<std::mutex> locker(m_lock);
        m_idleChanged.wait(locker, [this] { return isIdleLocked() || m_stopping; });
    }
    qDebug().noquote().nospace() << "Stop waiting for queue <" << m_name << ">";
}

void OperationQueue::run()
{
    qDebug().noquote().nospace() << "Operation queue <" << m_name << "> enter";
    for (;;) {
        Operation* op = nullptr;
        {
            std::unique_lock<std::mutex> locker(m_lock);
            m_wake.wait(locker, [this] { return !m_operations.isEmpty() || m_stopping; });
            if (m_stopping)
                break;
            op = m_operations.takeFirst();
            m_running = true;
        }
        // An exception would end the worker and the whole program with it: the operation that
        // threw ends there, and the queue goes on with the next.
        try {
            op->run(m_creatorThread);
        } catch (const std::exception& e) {
            qWarning().noquote().nospace()
                << "Operation queue <" << m_name << ">: operation failed: " << e.what();
        } catch (...) {
            qWarning().noquote().nospace() << "Operation queue <" << m_name << ">: operation failed";
        }
        emit op->done();
        delete op;
        jobFinished();
    }
    qDebug().noquote().nospace() << "Operation queue <" << m_name << "> exit";
    std::lock_guard<std::mutex> locker(m_lock);
    m_exited = true;
    m_idleChanged.notify_all();
    OX_HANDOVER_RELEASE(this);
}

void OperationQueue::jobFinished()
{
    bool drained = false;
    {
        std::unique_lock<std::mutex> locker(m_lock);
        m_running = false;
        if (m_operations.isEmpty()) {
            drained = true;
            m_idleChanged.notify_all();
        }
    }
    if (drained) {
        qDebug().noquote().nospace() << "No more operations in the queue <" << m_name << ">";
        emit allOperationsDidFinish();
    }
}
