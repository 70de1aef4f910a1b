#pragma once
// The USB bus through libusb-1.0: hot-plug events where the library has them, otherwise
// an enumeration per poll.
#include "usb/UsbBackend.h"

struct libusb_context;

namespace QtUsb {

class LibUsbBackend final : public UsbBackend {
public:
    LibUsbBackend() = default;
    ~LibUsbBackend() override;
    LibUsbBackend(const LibUsbBackend&) = delete;
    LibUsbBackend& operator=(const LibUsbBackend&) = delete;

    bool open() override;
    bool listDevices(FilterList* out) override;
    bool hasHotplug() const override;
    bool registerHotplug(HotplugSink sink) override;
    bool handleEvents(int timeoutMs) override;
    void interrupt() override;
    void close() override;

    // Reads every device of the bus on ctx into out; false when the device list cannot be
    // read. A device whose descriptor cannot be read is left out.
    static bool enumerate(libusb_context* ctx, FilterList* out);

    // Hands one hot-plug event to the sink (the libusb callback's body).
    void deliver(int event, const DeviceFilter* filter);

private:
    libusb_context* m_ctx = nullptr;
    int m_handle = 0;
    bool m_registered = false;
    HotplugSink m_sink;
};

} // namespace QtUsb
