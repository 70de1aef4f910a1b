#pragma once
// The USB bus of the development run: the dongle's ids are on it while its port is there (the
// built-in emulator's dongle is plugged in, or the port given on the command line exists).
#include "usb/UsbBackend.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

class DevUsbBackend : public QtUsb::UsbBackend {
public:
    explicit DevUsbBackend(std::function<bool()> plugged)
        : m_plugged(std::move(plugged))
    {
    }

    bool open() override { return true; }
    bool listDevices(QtUsb::FilterList* out) override
    {
        out->clear();
        if (m_plugged())
            out->append(QtUsb::DeviceFilter{0x0003, 0x2E15});
        return true;
    }
    bool hasHotplug() const override { return false; }
    bool registerHotplug(HotplugSink) override { return false; }
    bool handleEvents(int timeoutMs) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_interrupted.load(); });
        return true;
    }
    void interrupt() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_interrupted = true;
        m_wake.notify_all();
    }
    void close() override {}

private:
    std::function<bool()> m_plugged;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_interrupted{false};
};
