#pragma once
// A named worker thread that runs queued operations one at a time, in the order added.
// Every operation is handed the thread that created the queue (the GUI thread for the dongle's
// queues), so that anything needing an event loop, such as a reply timer, can live there.
#include <QList>
#include <QObject>
#include <QString>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <mutex>

class Operation : public QObject {
    Q_OBJECT
public:
    explicit Operation(QObject* parent = nullptr);
    ~Operation() override;

    // Runs on the queue's worker thread; thread is the queue's creator thread.
    virtual void run(QThread* thread) = 0;

    // Number of operations alive in the process (for leak checks).
    static int liveOperations();

signals:
    void run(); // never emitted
    void done();
};

class OperationFunction : public Operation {
    Q_OBJECT
public:
    explicit OperationFunction(std::function<void(QThread*)> fn, QObject* parent = nullptr);
    void run(QThread* thread) override;

private:
    std::function<void(QThread*)> m_fn;
};

class OperationQueue : public QThread {
    Q_OBJECT
public:
    OperationQueue(const QString& name, bool verbose = false, QObject* parent = nullptr);
    // Drops the queued operations and joins the worker once the running one has returned.
    // An owner whose operations may block must release them first.
    ~OperationQueue() override;

    // Takes ownership; callable from any thread.
    void addOperation(Operation* op);
    void addOperation(std::function<void(QThread*)> fn);

    // True while at least one operation is queued (the running one does not count).
    bool hasOperations() const;
    // Deletes every queued operation; a running one is not interrupted. With wait, and unless
    // called on the creator thread or on the worker itself, returns only after the running
    // operation has ended and the queue has run empty.
    void cancelAllOperations(bool wait);
    // Blocks until nothing is queued or running; returns at once when the queue is idle, and
    // when called from the queue's own worker.
    void waitForAllOperationsFinished();

    QString name() const { return m_name; }
    QThread* creatorThread() const { return m_creatorThread; }

signals:
    void allOperationsDidFinish();

protected:
    void run() override;

private:
    void jobFinished();
    bool isIdleLocked() const { return m_operations.isEmpty() && !m_running; }

    const QString m_name;
    const bool m_verbose;
    mutable std::mutex m_lock;            // guards everything below
    std::condition_variable m_wake;        // the worker waits here for work or stop
    std::condition_variable m_idleChanged; // waiters for "nothing queued or running"
    QList<Operation*> m_operations;
    bool m_running = false;
    bool m_stopping = false;
    bool m_exited = false; // the worker loop has returned
    QThread* const m_creatorThread;
};
