#include "async/Mailbox.h"

#include <QCoreApplication>
#include <QEvent>

namespace
{

QEvent::Type wakeEventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

} // namespace

Mailbox::Mailbox(QObject* parent)
    : QObject(parent)
{
}

Mailbox::~Mailbox() = default;

void Mailbox::post(std::function<void()> job)
{
    QEvent* wake = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_jobs.push_back(std::move(job));
        // Built under the lock, which event() takes before it looks at the event.
        wake = new QEvent(wakeEventType());
    }
    // One wake per job: each job runs at its own place in the thread's event queue.
    QCoreApplication::postEvent(this, wake);
}

bool Mailbox::event(QEvent* e)
{
    std::function<void()> job;
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (e->type() != wakeEventType()) {
            lock.unlock();
            return QObject::event(e);
        }
        if (m_jobs.empty())
            return true;
        job = std::move(m_jobs.front());
        m_jobs.pop_front();
    }
    job();
    return true;
}
