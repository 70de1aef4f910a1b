#include "usb/LibUsbBackend.h"
#include "usb/QUsbManager.h"

#include <QDebug>

#include <libusb.h>

namespace QtUsb {

namespace {

int LIBUSB_CALL hotplugCallback(libusb_context*, libusb_device* device,
                                libusb_hotplug_event event, void* userData)
{
    auto* backend = static_cast<LibUsbBackend*>(userData);
    libusb_device_descriptor desc{};
    if (libusb_get_device_descriptor(device, &desc) < 0) {
        backend->deliver(int(event), nullptr);
    } else {
        const DeviceFilter filter{desc.idProduct, desc.idVendor};
        backend->deliver(int(event), &filter);
    }
    // A non-zero return would deregister the callback for good: always keep listening.
    return 0;
}

} // namespace

LibUsbBackend::~LibUsbBackend()
{
    close();
}

bool LibUsbBackend::open()
{
    const int rc = libusb_init(&m_ctx);
    if (rc < 0) {
        // A failed init leaves no context to release; libusb_exit(nullptr) would tear down
        // the library's default context instead.
        m_ctx = nullptr;
        qCritical("LibUsb Init Error %d", rc);
        return false;
    }
    return true;
}

bool LibUsbBackend::enumerate(libusb_context* ctx, FilterList* out)
{
    out->clear();
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(ctx, &list);
    if (count < 0) {
        qCritical("libusb_get_device_list Error");
        if (list)
            libusb_free_device_list(list, 1);
        return false;
    }
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(list[i], &desc) < 0)
            continue;
        out->append(DeviceFilter{desc.idProduct, desc.idVendor});
    }
    libusb_free_device_list(list, 1);
    return true;
}

bool LibUsbBackend::listDevices(FilterList* out)
{
    bool ok = false;
    *out = QUsbDevice::getAvailableDevices(&ok);
    return ok;
}

bool LibUsbBackend::hasHotplug() const
{
    return libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) != 0;
}

bool LibUsbBackend::registerHotplug(HotplugSink sink)
{
    if (!m_ctx)
        return false;
    m_sink = std::move(sink);
    libusb_hotplug_callback_handle handle = 0;
    const int rc = libusb_hotplug_register_callback(
        m_ctx,
        libusb_hotplug_event(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        libusb_hotplug_flag(0), LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
        LIBUSB_HOTPLUG_MATCH_ANY, hotplugCallback, this, &handle);
    if (rc != LIBUSB_SUCCESS)
        return false;
    m_handle = handle;
    m_registered = true;
    return true;
}

bool LibUsbBackend::handleEvents(int timeoutMs)
{
    if (!m_ctx)
        return false;
    timeval tv{};
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
    // Woken by interrupt() or a signal: not a failure.
    const int rc = libusb_handle_events_timeout_completed(m_ctx, &tv, nullptr);
    return rc == LIBUSB_SUCCESS || rc == LIBUSB_ERROR_INTERRUPTED;
}

void LibUsbBackend::interrupt()
{
    if (m_ctx)
        libusb_interrupt_event_handler(m_ctx);
}

void LibUsbBackend::close()
{
    if (!m_ctx)
        return;
    if (m_registered) {
        libusb_hotplug_deregister_callback(m_ctx, m_handle);
        m_registered = false;
    }
    libusb_exit(m_ctx);
    m_ctx = nullptr;
}

void LibUsbBackend::deliver(int event, const DeviceFilter* filter)
{
    if (m_sink)
        m_sink(event, filter);
}

} // namespace QtUsb

QtUsb::FilterList QUsbDevice::getAvailableDevices()
{
    return getAvailableDevices(nullptr);
}

QtUsb::FilterList QUsbDevice::getAvailableDevices(bool* ok)
{
    QtUsb::FilterList result;
    libusb_context* ctx = nullptr;
    bool read = false;
    if (libusb_init(&ctx) >= 0) {
        read = QtUsb::LibUsbBackend::enumerate(ctx, &result);
        libusb_exit(ctx);
    }
    if (ok)
        *ok = read;
    return result;
}
