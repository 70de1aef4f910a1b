#pragma once
// A LINK page over the emulator (PageRig): the headset's channel map and the LINKs on its
// network, the rows of a details list, a dongle plugged in again and a headset swapped.
#include "common/PageRig.h"
#include "ui/toolkit/PropertyWidget.h"

#include <QListWidget>
#include <QSerialPort>

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
    // After unplug(): the dongle comes back on a new port and is reported as the director reports
    // a dongle that started; true once its headset runs.
    bool replug()
    {
        env.emulator->unplug();
        if (!env.emulator->plugIn())
            return false;
        env.port = std::make_unique<QSerialPort>();
        env.port->setPortName(env.emulator->portPath());
        if (!env.port->open(QIODevice::ReadWrite))
            return false;
        env.port->setBaudRate(57600);
        env.dongle = std::make_unique<Dongle>(env.port.get(), this, env.parser);
        Dongle::Timing timing;
        timing.timeoutScale = 0.05;
        timing.repeatIntervalMs = 4;
        env.dongle->setTiming(timing);
        if (env.start() != 0)
            return false;
        container.dongle = env.dongle.get();
        if (page)
            page->updateWithDongle(env.dongle.get(), DongleChangeMask::found);
        return testutil::waitUntil([this] { return headset() && headset()->isRunning(); }, 4000);
    }
    // The headset is switched off and another one, with channelMap, switched on: the first is
    // reported lost when its watchdog runs out (Headset::setWatchdogIntervalForTests before
    // start), the second found.
    bool swapHeadset(emu::ChannelMapEntries const& channelMap)
    {
        env.emulator->headsetPower(false);
        const bool lost = testutil::waitUntil([this] { return !headset(); }, 4000);
        env.emulator->updateHeadset([&](emu::HeadsetModel& m) {
            m.serial = "HS21000999";
            m.channelMap = channelMap;
        });
        env.emulator->headsetPower(true);
        return lost && testutil::waitUntil([this] { return headset() && headset()->isRunning(); }, 4000);
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
