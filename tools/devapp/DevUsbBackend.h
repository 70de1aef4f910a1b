#pragma once
// The USB bus of the development run: the emulated dongle's ids are on it while the
// emulator's dongle is plugged in.
#include "tools/emulator/Emulator.h"
#include "usb/UsbBackend.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

class DevUsbBackend : public QtUsb::UsbBackend {
public:
    explicit DevUsbBackend(const emu::Emulator& emulator)
        : m_emulator(emulator)
    {
    }

    bool open() override { return true; }
    bool listDevices(QtUsb::FilterList* out) override
    {
        out->clear();
        if (m_emulator.isPlugged())
            out->append(QtUsb::DeviceFilter{0x0003, 0x2E15});
        return true;
    }
    bool hasHotplug() const override { return false; }
    bool registerHotplug(HotplugSink) override { return false; }
    void handleEvents(int timeoutMs) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_interrupted.load(); });
    }
    void interrupt() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_interrupted = true;
        m_wake.notify_all();
    }
    void close() override {}

private:
    const emu::Emulator& m_emulator;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_interrupted{false};
};
