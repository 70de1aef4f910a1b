#pragma once
// A LINK page over the emulator (PageRig): the headset's channel map and the LINKs on its
// network, and the rows of a details list.
#include "common/PageRig.h"
#include "ui/toolkit/PropertyWidget.h"

#include <QListWidget>

namespace linktest
{

struct LinkRig : pagetest::PageRig {
    // LINKs at address 3 (Link Drive) and 6 (Link Outdoor Drive) unless a test says otherwise.
    emu::ChannelMapEntries map
        = { { 3, 0x81, emu::preset::LinkDrive }, { 6, 0x81, emu::preset::LinkOutdoorDrive } };
    std::vector<uint8_t> linkAddresses = { 3, 6 };

    bool startWithLinks()
    {
        emu::HeadsetModel model;
        model.channelMap = map;
        if (!start(model))
            return false;
        for (uint8_t address : linkAddresses) {
            emu::LinkModel link;
            link.address = address;
            link.serial = QByteArray("LK1900044") + QByteArray::number(address);
            env.emulator->addLink(link);
        }
        return true;
    }
    // Every row of a details list as "key=value".
    static QStringList rows(QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            if (auto* row = qobject_cast<OX::PropertyWidget*>(list->itemWidget(list->item(i))))
                out << row->key() + QLatin1Char('=') + row->value();
        return out;
    }
};

} // namespace linktest
