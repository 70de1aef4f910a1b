#include "usb/QUsbManager.h"
#include "usb/LibUsbBackend.h"

#include <QDebug>

void QtUsb::registerMetaTypes()
{
    qRegisterMetaType<QtUsb::DeviceFilter>("QtUsb::DeviceFilter");
    qRegisterMetaType<QtUsb::FilterList>("QtUsb::FilterList");
}

QUsbManager::QUsbManager(QObject* parent)
    : QUsbManager(std::make_unique<QtUsb::LibUsbBackend>(), DefaultIntervalMs, parent)
{
}

QUsbManager::QUsbManager(std::unique_ptr<QtUsb::UsbBackend> backend, int intervalMs,
                         QObject* parent)
    : QThread(parent)
    , m_backend(std::move(backend))
    , m_intervalMs(intervalMs > 0 ? intervalMs : 1)
{
    setUp();
}

void QUsbManager::setUp()
{
    QtUsb::registerMetaTypes();

    if (!m_backend || !m_backend->open())
        return; // the backend has said why; the watcher stays inert
    m_open = true;

    // A bus that cannot be read now is looked at again by the watcher thread (see run).
    QtUsb::FilterList present;
    m_looked = m_backend->listDevices(&present);
    if (m_looked) {
        std::lock_guard<std::mutex> lock(m_listMutex);
        m_present = present;
    }

    m_hotplug = m_backend->hasHotplug();
    if (m_hotplug) {
        const bool registered = m_backend->registerHotplug(
            [this](int event, const QtUsb::DeviceFilter* filter) { onHotplugEvent(event, filter); });
        if (!registered) {
            m_backend->close();
            m_open = false;
            qWarning("Error creating hotplug callback");
            return;
        }
    }
    start(QThread::InheritPriority);
}

QUsbManager::~QUsbManager()
{
    stop();
    if (m_open) {
        m_backend->close();
        m_open = false;
    }
}

void QUsbManager::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_sleepMutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_open)
        m_backend->interrupt();
    // Every wait of the loop is bounded (one interval at most) and cut short by the
    // interrupt above, so this returns promptly.
    wait();
    // Pairs with the thread's last act, so that everything it did is seen from here on
    // (QThread::wait alone is invisible to thread checkers).
    std::lock_guard<std::mutex> lock(m_sleepMutex);
}

void QUsbManager::run()
{
    qDebug("USBManager started.");
    bool eventsFailing = false;
    while (!m_stop) {
        if (m_hotplug) {
            // Hot-plug events never announce a device that was there before them: while the
            // bus could not be read, it is read on every loop, and the first look that works
            // reports what it finds like a poll would (a dongle plugged in before the start).
            QtUsb::FilterList list;
            if (!m_looked && m_backend->listDevices(&list) && !m_stop) {
                m_looked = true;
                monitorDevices(list);
            }
            if (m_backend->handleEvents(m_intervalMs)) {
                if (eventsFailing) {
                    // The events held back while the handling failed came now, and were
                    // dropped: the polls reported those changes already. The bus is read once
                    // more, like a poll, for whatever changed since the last one.
                    qInfo("USB hot-plug events work again");
                    eventsFailing = false;
                    m_dropEvents = false;
                    m_looked = false;
                }
                continue;
            }
            if (m_stop)
                break;
            // The library cannot wait for events (it returns at once): rather than spin and
            // miss every plug, the bus is polled until the events work again.
            if (!eventsFailing)
                qWarning("USB hot-plug events failing, the bus is polled instead");
            eventsFailing = true;
            m_dropEvents = true;
        }
        QtUsb::FilterList list;
        // A bus that cannot be read reports nothing: an unreadable bus is not an unplug.
        if (m_backend->listDevices(&list) && !m_stop)
            monitorDevices(list);
        std::unique_lock<std::mutex> lock(m_sleepMutex);
        m_wake.wait_for(lock, std::chrono::milliseconds(m_intervalMs), [this] { return m_stop.load(); });
    }
    qDebug("USBManager stoped.");
    std::lock_guard<std::mutex> lock(m_sleepMutex); // the hand-over to stop()
}

void QUsbManager::onHotplugEvent(int event, const QtUsb::DeviceFilter* filter)
{
    if (event != QtUsb::DeviceArrived && event != QtUsb::DeviceLeft) {
        qWarning("Unhandled hotplug event %d", event);
        return;
    }
    if (m_dropEvents) {
        // Held back while the event handling failed: the bus is polled instead.
        qDebug("USB hotplug event %d held back while polling, dropped", event);
        return;
    }
    if (!filter) {
        // Without its descriptor the device has no ids to report.
        qDebug("USB device descriptor unreadable, hotplug event %d ignored", event);
        return;
    }
    std::lock_guard<std::mutex> report(m_reportMutex);
    const QtUsb::FilterList one{*filter};
    {
        std::lock_guard<std::mutex> lock(m_listMutex);
        if (event == QtUsb::DeviceArrived) {
            m_present.append(*filter);
        } else {
            const int index = findDevice(*filter, m_present);
            if (index >= 0)
                m_present.removeAt(index);
        }
    }
    if (event == QtUsb::DeviceArrived)
        emit deviceInserted(one);
    else
        emit deviceRemoved(one);
}

bool QUsbManager::isPresent(const QtUsb::DeviceFilter& filter) const
{
    std::lock_guard<std::mutex> lock(m_listMutex);
    return findDevice(filter, m_present) >= 0;
}

QtUsb::FilterList QUsbManager::watchedDevices() const
{
    std::lock_guard<std::mutex> lock(m_listMutex);
    return m_watched;
}

bool QUsbManager::addDevice(const QtUsb::DeviceFilter& filter)
{
    std::lock_guard<std::mutex> lock(m_listMutex);
    if (findDevice(filter, m_watched) >= 0)
        return false;
    m_watched.append(filter);
    return true;
}

bool QUsbManager::removeDevice(const QtUsb::DeviceFilter& filter)
{
    std::lock_guard<std::mutex> lock(m_listMutex);
    const int index = findDevice(filter, m_watched);
    if (index >= 0)
        m_watched.removeAt(index);
    return true;
}

int QUsbManager::findDevice(const QtUsb::DeviceFilter& filter, const QtUsb::FilterList& list) const
{
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i) == filter)
            return i;
    }
    return -1;
}

void QUsbManager::monitorDevices(const QtUsb::FilterList& list)
{
    std::lock_guard<std::mutex> report(m_reportMutex);
    QtUsb::FilterList inserted;
    QtUsb::FilterList removed;
    {
        std::lock_guard<std::mutex> lock(m_listMutex);
        for (const auto& f : list) {
            if (findDevice(f, m_present) < 0)
                inserted.append(f);
        }
        for (const auto& f : qAsConst(m_present)) {
            if (findDevice(f, list) < 0)
                removed.append(f);
        }
        m_present = list;
    }
    if (!inserted.isEmpty())
        emit deviceInserted(inserted);
    if (!removed.isEmpty())
        emit deviceRemoved(removed);
}
