#pragma once
// A counting semaphore on the standard library, which the thread sanitizer sees through.
#include <condition_variable>
#include <mutex>

namespace testsync {

class Semaphore {
public:
    explicit Semaphore(int n = 0)
        : m_count(n)
    {
    }
    void release(int n = 1)
    {
        // Notified under the lock: the waiter may destroy the semaphore as soon as it wakes.
        std::lock_guard<std::mutex> l(m_lock);
        m_count += n;
        m_cv.notify_all();
    }
    void acquire(int n = 1)
    {
        std::unique_lock<std::mutex> l(m_lock);
        m_cv.wait(l, [&] { return m_count >= n; });
        m_count -= n;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    int m_count;
};

} // namespace testsync
