#pragma once
// The USB bus as the watcher sees it. The real backend speaks libusb-1.0; tests give the
// watcher a scripted backend to plug and unplug devices at will.
#include "usb/UsbFilter.h"

#include <functional>

namespace QtUsb {

// libusb's hot-plug event values, kept as plain numbers so that a backend can hand over
// whatever its library reported.
enum HotplugEvent : int {
    DeviceArrived = 1,
    DeviceLeft = 2,
};

class UsbBackend {
public:
    // Called on the watcher thread for every hot-plug event. filter is null when the
    // device's descriptor could not be read.
    using HotplugSink = std::function<void(int event, const DeviceFilter* filter)>;

    virtual ~UsbBackend() = default;

    // Sets the library up. False leaves the watcher inert: no thread, no reports.
    virtual bool open() = 0;
    // Every device on the bus, in enumeration order. False when the bus could not be read.
    virtual bool listDevices(FilterList* out) = 0;
    // Whether the backend delivers hot-plug events (otherwise the watcher polls).
    virtual bool hasHotplug() const = 0;
    // Registers for arrival and departure events of every device; devices already present
    // are not announced. False leaves the watcher without a thread.
    virtual bool registerHotplug(HotplugSink sink) = 0;
    // Hot-plug mode: delivers pending events to the sink, waiting at most timeoutMs.
    // Returns early when interrupt() is called. False when the library failed to wait for
    // events (it may then return at once).
    virtual bool handleEvents(int timeoutMs) = 0;
    // Wakes a thread blocked in handleEvents or listDevices. Callable from any thread.
    virtual void interrupt() = 0;
    // Releases what open() and registerHotplug() took. Called only after the watcher thread
    // has ended, so no other call on the backend is in flight.
    virtual void close() = 0;
};

} // namespace QtUsb
