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

void FoundDeviceMap::clear()
{
    m_keys.clear();
    m_records.clear();
}

} // namespace OX
