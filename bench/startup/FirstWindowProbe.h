#pragma once
// Reports the first exposed window of the process: prints "shown" on standard output, then
// "cpu <GUI thread ms> <process ms>", the CPU time used so far, and ends the event loop, or, with
// stay, leaves the process running for further measurements. Shared by the two processes the
// start-up and memory benchmarks compare.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

#include <cstdio>
#include <ctime>

class FirstWindowProbe : public QObject
{
public:
    explicit FirstWindowProbe(QObject* parent, bool stay = false)
        : QObject(parent)
        , m_stay(stay)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_done && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                m_done = true;
                std::fputs("shown\n", stdout);
                std::fprintf(stdout, "cpu %.2f %.2f\n", cpuMs(CLOCK_THREAD_CPUTIME_ID),
                    cpuMs(CLOCK_PROCESS_CPUTIME_ID));
                std::fflush(stdout);
                if (!m_stay)
                    QCoreApplication::exit(0);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static double cpuMs(clockid_t clock)
    {
        timespec t {};
        clock_gettime(clock, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
    }

    bool m_stay = false;
    bool m_done = false;
};
