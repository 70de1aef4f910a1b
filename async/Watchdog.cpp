#include "async/Watchdog.h"

Watchdog::Watchdog(int intervalMs, QObject* parent)
    : QObject(parent)
    , m_timer(this)
    , m_interval(intervalMs)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Watchdog::fire);
}

void Watchdog::start()
{
    if (!m_timer.isActive())
        m_timer.start(m_interval);
}

void Watchdog::stop()
{
    if (m_timer.isActive())
        m_timer.stop();
}

void Watchdog::wakeup()
{
    if (m_timer.isActive())
        m_timer.start(m_interval);
}

void Watchdog::fire()
{
    m_timer.stop();
    emit expired();
}
