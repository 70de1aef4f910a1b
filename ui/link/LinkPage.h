#pragma once
// The settings page of one LINK module, made for the preset 0x18 ("LinkIndoor") and 0x88
// ("LinkOutdoor"). For now it shows only its title and "Back".
#include "protocol/ChannelMap.h"
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class LinkPage : public PlaceholderPage
{
    Q_OBJECT
public:
    LinkPage(PageContainer* container, OrvixDevice::Preset preset, QWidget* parent = nullptr);

    OrvixDevice::Preset preset() const { return m_preset; }

private:
    OrvixDevice::Preset m_preset;
};

} // namespace OX
