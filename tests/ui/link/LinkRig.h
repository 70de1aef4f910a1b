#pragma once
// A LINK page over the emulator: the headset's channel map and the LINKs on its network, the
// page registered beside a "Menu" page it is opened from, and the dongle's updates passed on to
// the page as the main window does.
#include "../pages/PageRig.h"
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
    // Registers page under name beside "Menu" (shown first) and the extra stub pages.
    void registerPage(OX::Page* shown, QString const& name, QStringList const& stubs = {})
    {
        page = shown;
        auto& c = container.controller;
        c.setSlideDurationOverride(0);
        c.resize(900, 600);
        c.addPage(new testutil::RecordingPage(&container, QStringLiteral("Menu"), &c), QStringLiteral("Menu"));
        for (QString const& stub : stubs)
            c.addPage(new testutil::RecordingPage(&container, stub, &c), stub);
        c.addPage(shown, name);
        c.setInitialPage(QStringLiteral("Menu"));
    }
    bool show(QString const& name)
    {
        return container.controller.showPage(name, 1, 1000, true)
            && testutil::waitUntil([&] { return container.controller.currentPageName() == name; });
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
