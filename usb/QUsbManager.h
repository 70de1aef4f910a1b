#pragma once
// The USB hot-plug watcher: a thread of its own that follows the USB bus and reports every
// device that arrives or leaves. Reports cover every device on the bus; the receiver picks
// the devices it cares about by their ids.
#include "usb/UsbBackend.h"
#include "usb/UsbFilter.h"

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class QUsbManager : public QThread {
    Q_OBJECT
public:
    // How long one loop of the watcher thread lasts: a poll of the bus, or a wait for
    // hot-plug events.
    static constexpr int DefaultIntervalMs = 250;

    // Watches the real bus through libusb. The thread starts at once unless the library
    // cannot be set up.
    explicit QUsbManager(QObject* parent = nullptr);
    // Watches the bus of the given backend, looping every intervalMs.
    explicit QUsbManager(std::unique_ptr<QtUsb::UsbBackend> backend,
                         int intervalMs = DefaultIntervalMs, QObject* parent = nullptr);
    // Stops the thread (within one loop: the backend is interrupted, the thread is never
    // forced to end) and releases the backend.
    ~QUsbManager() override;

    // True when a matching device was on the bus at the last look (or, in hot-plug mode,
    // is there after the events seen since the watcher started).
    bool isPresent(const QtUsb::DeviceFilter& filter) const;
    // Whether the watcher follows hot-plug events (true) or polls the bus (false).
    bool usesHotplug() const { return m_hotplug; }
    // The registered filters, in registration order.
    QtUsb::FilterList watchedDevices() const;

public slots:
    // Registers filter; false (and no change) when a matching one is already registered.
    bool addDevice(const QtUsb::DeviceFilter& filter);
    // Removes the first matching registered filter; true in every case.
    bool removeDevice(const QtUsb::DeviceFilter& filter);
    // Index of the first entry of list matching filter, or -1.
    int findDevice(const QtUsb::DeviceFilter& filter, const QtUsb::FilterList& list) const;
    // Compares a fresh enumeration with the present devices, reports the differences
    // (arrivals first) and makes list the present devices.
    void monitorDevices(const QtUsb::FilterList& list);

signals:
    // Emitted on the watcher thread; receivers connected with the default connection get
    // them queued on their own thread.
    void deviceInserted(QtUsb::FilterList filters);
    void deviceRemoved(QtUsb::FilterList filters);

protected:
    void run() override;

private:
    void setUp();
    void onHotplugEvent(int event, const QtUsb::DeviceFilter* filter);
    void stop();

    std::unique_ptr<QtUsb::UsbBackend> m_backend;
    const int m_intervalMs;
    std::atomic<bool> m_stop{false};
    bool m_hotplug = false;
    bool m_open = false;
    // Whether the bus has been read since the start, or since the hot-plug event handling
    // worked again (set up on the constructing thread, then only the watcher thread touches it).
    bool m_looked = false;
    // While the hot-plug event handling fails, the bus is polled and every event that still
    // comes is dropped (watcher thread only).
    bool m_dropEvents = false;

    // Standard mutexes rather than Qt's so that thread checkers see every hand-over.
    mutable std::mutex m_listMutex;   // guards m_watched and m_present
    QtUsb::FilterList m_watched;
    QtUsb::FilterList m_present;

    std::mutex m_reportMutex;         // one report (compare + emit) at a time
    std::mutex m_sleepMutex;          // with m_wake: the polling pause, cut short by stop()
    std::condition_variable m_wake;
};

// Home of the bus enumeration.
class QUsbDevice {
public:
    // One filter for every device on the bus, in enumeration order; empty when the bus
    // cannot be read.
    static QtUsb::FilterList getAvailableDevices();
    // The same, telling a failed read (ok false) apart from an empty bus.
    static QtUsb::FilterList getAvailableDevices(bool* ok);
};
