#include "ui/toolkit/ListRows.h"

#include <QListWidget>
#include <QSignalBlocker>

#include "ui/toolkit/DeviceWidget.h"
#include "ui/toolkit/PropertyWidget.h"

namespace OX
{

namespace
{

const QString HeadsetIcon = QStringLiteral(":/device/icons/headset");
const QString DongleIcon = QStringLiteral(":/device/icons/dongle");
const QString LinkIcon = QStringLiteral(":/device/icons/link_drive");
const QString PcAIcon = QStringLiteral(":/device/icons/pc_mouse_a");
const QString PcBIcon = QStringLiteral(":/device/icons/pc_mouse_b");
const QString UnknownIcon = QStringLiteral(":/device/icons/unknown");

// The row joins the end of the list whole: item and widget are made first.
QListWidgetItem* append(QListWidget* list, QWidget* row)
{
    auto* item = new QListWidgetItem;
    item->setSizeHint(row->sizeHint());
    list->insertItem(list->count(), item);
    list->setItemWidget(item, row);
    return item;
}

// A device row with what both kinds of device show; the caller adds the icon.
DeviceWidget* deviceRow(
    QListWidget* list, DeviceAddress const& address, unsigned short pan, QString const& serial, bool checked)
{
    auto* row = new DeviceWidget(list);
    row->setAddress(address);
    row->setPAN(pan);
    row->setSerial(serial);
    row->setChecked(checked);
    return row;
}

} // namespace

QListWidgetItem* addDeviceTo(QListWidget* list, OrvixDevice const& device, unsigned short pan,
    QString const& serial, bool checked, bool current)
{
    if (!list)
        return nullptr;
    DeviceWidget* row
        = deviceRow(list, DeviceAddress(device.address, device.portNumber()), pan, serial, checked);
    row->setPreset(device.validPreset());
    switch (device.preset) {
    case OrvixDevice::HeadsetPreset:
        row->setIcon(HeadsetIcon);
        break;
    case OrvixDevice::LinkDrive:
    case OrvixDevice::LinkOutdoorDrive:
        row->setIcon(LinkIcon);
        break;
    case OrvixDevice::PC1:
        row->setIcon(PcAIcon);
        row->setBadge(DongleIcon);
        break;
    case OrvixDevice::PC2:
        row->setIcon(PcBIcon);
        row->setBadge(DongleIcon);
        break;
    default:
        row->setIcon(UnknownIcon);
        break;
    }
    row->setIconColor(Qt::black);
    QListWidgetItem* item = append(list, row);
    if (current)
        list->setCurrentItem(item);
    return item;
}

QListWidgetItem* addDeviceTo(QListWidget* list, ProductID product, unsigned short pan,
    DeviceAddress const& address, QString const& serial, bool checked, bool selected)
{
    if (!list)
        return nullptr;
    DeviceWidget* row = deviceRow(list, address, pan, serial, checked);
    switch (product) {
    case ProductID::Headset:
        row->setIcon(HeadsetIcon);
        break;
    case ProductID::Dongle:
        row->setIcon(DongleIcon);
        break;
    case ProductID::Link:
        row->setIcon(LinkIcon);
        break;
    default:
        row->setIcon(UnknownIcon);
        break;
    }
    row->setIconColor(Qt::black);
    QListWidgetItem* item = append(list, row);
    if (selected)
        item->setSelected(true);
    return item;
}

QListWidgetItem* addParameterTo(
    QListWidget* list, QString const& key, QVariant const& value, QString const& icon)
{
    if (!list)
        return nullptr;
    auto* row = new PropertyWidget(list);
    row->setKey(key);
    row->setValue(value.toString());
    if (!icon.isNull())
        row->setIcon(icon);
    return append(list, row);
}

void blockSignals(QObject* object, std::function<void()> work)
{
    if (!work)
        return;
    const QSignalBlocker quiet(object); // restores the blocking as it was, also without an object
    work();
}

} // namespace OX
