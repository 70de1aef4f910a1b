#include "ui/pages/FoundDeviceMap.h"

namespace OX
{

QString FoundDeviceMap::keyOf(NPP const& record)
{
    return QStringLiteral("%1-%2").arg(record.pan).arg(record.address);
}

void FoundDeviceMap::insert(QString const& key, NPP const& record)
{
    if (!m_records.contains(key))
        m_keys.append(key);
    m_records.insert(key, record);
}

NPP FoundDeviceMap::valueAt(int i) const
{
    return m_records.value(m_keys.at(i));
}

int FoundDeviceMap::indexOf(NPP const& record, int from) const
{
    for (int i = qMax(0, from); i < m_keys.size(); ++i) {
        if (m_records.value(m_keys.at(i)) == record)
            return i;
    }
    return -1;
}

void FoundDeviceMap::removeAt(int i)
{
    if (i < 0 || i >= m_keys.size())
        return;
    m_records.remove(m_keys.takeAt(i));
}

bool FoundDeviceMap::removeMoved(NPP const& record)
{
    if (record.serial[0] == 0 || record.serial[0] == 0xFF)
        return false;
    const QString key = keyOf(record);
    const QString serial = record.getSerialNumber();
    bool removed = false;
    for (int i = m_keys.size() - 1; i >= 0; --i) {
        NPP const held = m_records.value(m_keys.at(i));
        if (m_keys.at(i) != key && held.product == record.product && held.getSerialNumber() == serial) {
            removeAt(i);
            removed = true;
        }
    }
    return removed;
}

void FoundDeviceMap::clear()
{
    m_keys.clear();
    m_records.clear();
}

} // namespace OX
