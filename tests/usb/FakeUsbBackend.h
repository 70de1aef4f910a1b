#pragma once
// A scripted USB bus for the watcher's tests: the test plugs and unplugs devices, lets one
// poll run at a time, or pushes hot-plug events.
#include "usb/UsbBackend.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>

#include <deque>
#include <memory>
#include <optional>
#include <utility>

namespace fakeusb {

struct State {
    QMutex mutex;
    QWaitCondition cond;

    // Set-up script.
    bool openOk = true;
    bool hotplug = false;
    bool registerOk = true;
    bool honourTimeout = true;   // handleEvents returns after its timeout
    bool honourInterrupt = true; // interrupt() wakes a blocked call

    // The bus.
    QtUsb::FilterList bus;
    bool listOk = true;

    // Polling gate: every listDevices call after the first waits for a release.
    bool gated = false;
    int releases = 0;
    int listCalls = 0;

    // Hot-plug events waiting for handleEvents: (event, filter or none).
    std::deque<std::pair<int, std::optional<QtUsb::DeviceFilter>>> events;
    int handleCalls = 0;

    bool interrupted = false;
    int closeCalls = 0;

    // Lets exactly one poll run and waits until the watcher is back for the next one, that
    // is until the poll's comparison and reports are done.
    bool poll(int timeoutMs = 2000)
    {
        QMutexLocker lock(&mutex);
        const int target = listCalls + 1;
        ++releases;
        cond.wakeAll();
        QDeadlineTimer deadline(timeoutMs);
        while (listCalls < target) {
            if (!cond.wait(&mutex, deadline))
                return false;
        }
        return true;
    }

    // Waits until the watcher thread sits in its first gated poll.
    bool waitForGate(int timeoutMs = 2000)
    {
        QMutexLocker lock(&mutex);
        QDeadlineTimer deadline(timeoutMs);
        while (listCalls < 2) {
            if (!cond.wait(&mutex, deadline))
                return false;
        }
        return true;
    }

    void push(int event, std::optional<QtUsb::DeviceFilter> filter)
    {
        QMutexLocker lock(&mutex);
        events.emplace_back(event, filter);
        cond.wakeAll();
    }

    // Waits until every pushed event has been handed over and the handler has returned.
    bool drain(int timeoutMs = 2000)
    {
        QMutexLocker lock(&mutex);
        QDeadlineTimer deadline(timeoutMs);
        const int target = handleCalls + 1;
        while (!events.empty() || handleCalls < target) {
            if (!cond.wait(&mutex, deadline))
                return false;
        }
        return true;
    }
};

class Backend : public QtUsb::UsbBackend {
public:
    explicit Backend(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    bool open() override
    {
        QMutexLocker lock(&m_state->mutex);
        return m_state->openOk;
    }

    bool listDevices(QtUsb::FilterList* out) override
    {
        QMutexLocker lock(&m_state->mutex);
        const bool first = m_state->listCalls == 0;
        ++m_state->listCalls;
        m_state->cond.wakeAll();
        if (m_state->gated && !first) {
            while (m_state->releases == 0 && !m_state->interrupted)
                m_state->cond.wait(&m_state->mutex);
            if (m_state->releases == 0)
                return false; // interrupted: stopping
            --m_state->releases;
        }
        *out = m_state->bus;
        return m_state->listOk;
    }

    bool hasHotplug() const override
    {
        QMutexLocker lock(&m_state->mutex);
        return m_state->hotplug;
    }

    bool registerHotplug(HotplugSink sink) override
    {
        QMutexLocker lock(&m_state->mutex);
        m_sink = std::move(sink);
        return m_state->registerOk;
    }

    void handleEvents(int timeoutMs) override
    {
        std::deque<std::pair<int, std::optional<QtUsb::DeviceFilter>>> batch;
        {
            QMutexLocker lock(&m_state->mutex);
            QDeadlineTimer deadline(m_state->honourTimeout ? timeoutMs : -1);
            while (m_state->events.empty()
                   && !(m_state->interrupted && m_state->honourInterrupt)) {
                if (!m_state->cond.wait(&m_state->mutex, deadline))
                    break;
            }
            batch.swap(m_state->events);
        }
        for (const auto& [event, filter] : batch)
            m_sink(event, filter ? &*filter : nullptr);
        QMutexLocker lock(&m_state->mutex);
        ++m_state->handleCalls;
        m_state->cond.wakeAll();
    }

    void interrupt() override
    {
        QMutexLocker lock(&m_state->mutex);
        m_state->interrupted = true;
        if (m_state->honourInterrupt)
            m_state->cond.wakeAll();
    }

    void close() override
    {
        QMutexLocker lock(&m_state->mutex);
        ++m_state->closeCalls;
    }

private:
    std::shared_ptr<State> m_state;
    HotplugSink m_sink;
};

} // namespace fakeusb
