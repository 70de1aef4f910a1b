#pragma once
// The devices page ("Devices"): the headset's channel map.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class DevicesPage : public PlaceholderPage
{
    Q_OBJECT
public:
    DevicesPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
