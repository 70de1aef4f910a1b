#pragma once
// The identity of a USB device as the watcher reports it.
#include <QList>
#include <QMetaType>
#include <QtGlobal>

namespace QtUsb {

// One USB device identity: the device descriptor's product and vendor ids. Two filters
// match when both ids are equal; nothing else takes part in a comparison.
struct DeviceFilter {
    quint16 pid = 0;
    quint16 vid = 0;

    friend bool operator==(const DeviceFilter& a, const DeviceFilter& b)
    {
        return a.pid == b.pid && a.vid == b.vid;
    }
    friend bool operator!=(const DeviceFilter& a, const DeviceFilter& b) { return !(a == b); }
};

using FilterList = QList<DeviceFilter>;

// Registers "QtUsb::DeviceFilter" and "QtUsb::FilterList" so that both travel in queued
// signal arguments. Safe to call more than once.
void registerMetaTypes();

} // namespace QtUsb

Q_DECLARE_METATYPE(QtUsb::DeviceFilter)
Q_DECLARE_METATYPE(QtUsb::FilterList)
