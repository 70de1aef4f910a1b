#pragma once
// A scripted USB bus for the watcher's tests: the test plugs and unplugs devices, lets one
// poll run at a time, or pushes hot-plug events.
#include "common/time_scale.h"
#include "usb/UsbBackend.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <memory>
#include <optional>
#include <utility>

namespace fakeusb {

using Lock = std::unique_lock<std::mutex>;
using Clock = std::chrono::steady_clock;

struct State {
    std::mutex mutex;
    std::condition_variable cond;

    // Set-up script.
    bool openOk = true;
    bool hotplug = false;
    bool registerOk = true;
    bool honourTimeout = true;   // handleEvents returns after its timeout
    bool honourInterrupt = true; // interrupt() wakes a blocked call
    bool handleOk = true;        // false: handleEvents fails at once

    // The bus.
    QtUsb::FilterList bus;
    bool listOk = true;
    // Changes the bus while the watcher may be polling it.
    void setBus(const QtUsb::FilterList& devices)
    {
        Lock lock(mutex);
        bus = devices;
    }

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
        Lock lock(mutex);
        const int target = listCalls + 1;
        ++releases;
        cond.notify_all();
        return cond.wait_for(lock, std::chrono::milliseconds(testutil::scaled(timeoutMs)),
            [&] { return listCalls >= target; });
    }

    // Waits until the watcher thread sits in its first gated poll.
    bool waitForGate(int timeoutMs = 2000)
    {
        Lock lock(mutex);
        return cond.wait_for(
            lock, std::chrono::milliseconds(testutil::scaled(timeoutMs)), [&] { return listCalls >= 2; });
    }

    void push(int event, std::optional<QtUsb::DeviceFilter> filter)
    {
        Lock lock(mutex);
        events.emplace_back(event, filter);
        cond.notify_all();
    }

    // Waits until every pushed event has been handed over and the handler has returned.
    bool drain(int timeoutMs = 2000)
    {
        Lock lock(mutex);
        const int target = handleCalls + 1;
        return cond.wait_for(lock, std::chrono::milliseconds(testutil::scaled(timeoutMs)),
            [&] { return events.empty() && handleCalls >= target; });
    }
};

class Backend : public QtUsb::UsbBackend {
public:
    explicit Backend(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    bool open() override
    {
        Lock lock(m_state->mutex);
        return m_state->openOk;
    }

    bool listDevices(QtUsb::FilterList* out) override
    {
        Lock lock(m_state->mutex);
        const bool first = m_state->listCalls == 0;
        ++m_state->listCalls;
        m_state->cond.notify_all();
        if (m_state->gated && !first) {
            m_state->cond.wait(lock, [&] { return m_state->releases > 0 || m_state->interrupted; });
            if (m_state->releases == 0)
                return false; // interrupted: stopping
            --m_state->releases;
        }
        *out = m_state->bus;
        return m_state->listOk;
    }

    bool hasHotplug() const override
    {
        Lock lock(m_state->mutex);
        return m_state->hotplug;
    }

    bool registerHotplug(HotplugSink sink) override
    {
        Lock lock(m_state->mutex);
        m_sink = std::move(sink);
        return m_state->registerOk;
    }

    bool handleEvents(int timeoutMs) override
    {
        std::deque<std::pair<int, std::optional<QtUsb::DeviceFilter>>> batch;
        {
            Lock lock(m_state->mutex);
            if (!m_state->handleOk) {
                ++m_state->handleCalls;
                return false;
            }
            auto ready = [&] {
                return !m_state->events.empty() || (m_state->interrupted && m_state->honourInterrupt);
            };
            if (m_state->honourTimeout)
                m_state->cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
            else
                m_state->cond.wait(lock, ready);
            batch.swap(m_state->events);
        }
        for (const auto& [event, filter] : batch)
            m_sink(event, filter ? &*filter : nullptr);
        Lock lock(m_state->mutex);
        ++m_state->handleCalls;
        m_state->cond.notify_all();
        return true;
    }

    void interrupt() override
    {
        Lock lock(m_state->mutex);
        m_state->interrupted = true;
        if (m_state->honourInterrupt)
            m_state->cond.notify_all();
    }

    void close() override
    {
        Lock lock(m_state->mutex);
        ++m_state->closeCalls;
    }

private:
    std::shared_ptr<State> m_state;
    HotplugSink m_sink;
};

} // namespace fakeusb
