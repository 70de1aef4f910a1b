#pragma once
// The devices heard on the radio network that the pairing page offers, in the order in which
// each was first heard. A device is known by its PAN and address ("PAN-address"): a device
// heard again keeps its place and its newest identity record replaces the older one.
#include <QHash>
#include <QString>
#include <QStringList>

#include "protocol/Records.h"

namespace OX
{

class FoundDeviceMap
{
public:
    // "%1-%2": the record's PAN and address, both in decimal.
    static QString keyOf(NPP const& record);

    // Appends key unless it is held already, then stores record under it.
    void insert(QString const& key, NPP const& record);
    // The record of the i-th key (0 <= i < size()).
    NPP valueAt(int i) const;
    // The first index i >= from whose record equals record, else -1.
    int indexOf(NPP const& record, int from = 0) const;
    // Removes the i-th key and its record; an index out of range changes nothing.
    void removeAt(int i);
    // Removes the records of the device that sent record (the same product and serial number)
    // held under another key: a device heard at a new PAN or address has left the old one.
    // Records without a serial number are never taken for one another. True when one went.
    bool removeMoved(NPP const& record);
    void clear();
    int size() const { return m_keys.size(); }

private:
    QStringList m_keys;
    QHash<QString, NPP> m_records;
};

} // namespace OX
