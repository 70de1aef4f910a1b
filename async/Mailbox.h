#pragma once
// Work handed from any thread to the thread a mailbox lives on. The job itself passes through
// a standard lock; Qt's event queue only carries a wake-up without data. Thread checkers thus
// see every hand-over, which they cannot see through Qt's own queue (queued signals and
// QMetaObject::invokeMethod copy their arguments on the sending thread).
#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// No Q_OBJECT: a mailbox has no signals or slots of its own, only its event handler.
class Mailbox : public QObject
{
public:
    // Jobs run on the thread that creates the mailbox. Must be created on that thread.
    explicit Mailbox(QObject* parent = nullptr);
    // Jobs not yet run are dropped.
    ~Mailbox() override;

    // Runs job on the mailbox's thread, after every event posted to that thread before it (a
    // job keeps its place among queued signals and posted events). Callable from any thread.
    void post(std::function<void()> job);

protected:
    bool event(QEvent* event) override;

private:
    std::mutex m_lock; // guards m_jobs, and orders each wake event before its delivery
    std::deque<std::function<void()>> m_jobs;
};
