#pragma once
// Free helpers of the pages: rows appended to list widgets (a device of a channel map, a
// device found on the radio network, a key and its value) and a piece of work done with an
// object's signals blocked.
#include <QString>
#include <QVariant>

#include <functional>

#include "protocol/ChannelMap.h"
#include "protocol/Records.h"

class QListWidget;
class QListWidgetItem;
class QObject;

namespace OX
{

// A device row for a channel-map entry: preset (0 when not a known one), address with the
// enabled bit cleared, PAN, serial, check mark and the icon of its kind, in black. With
// current the row becomes the list's current item.
QListWidgetItem* addDeviceTo(QListWidget* list, OrvixDevice const& device, unsigned short pan,
    QString const& serial, bool checked, bool current);
// A device row for a device found on the radio network, its icon by product; with selected
// the row is selected.
QListWidgetItem* addDeviceTo(QListWidget* list, ProductID product, unsigned short pan,
    DeviceAddress const& address, QString const& serial, bool checked, bool selected);
// A key and value row; the value as QVariant::toString gives it. A null icon path keeps the
// row's default icon.
QListWidgetItem* addParameterTo(
    QListWidget* list, QString const& key, QVariant const& value, QString const& icon);

// Runs work with object's signals blocked, then restores the blocking as it was.
void blockSignals(QObject* object, std::function<void()> work);

} // namespace OX
