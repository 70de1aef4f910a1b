#pragma once
// The pairing page ("Pairing"): the devices of the headset's network.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class PairingPage : public PlaceholderPage
{
    Q_OBJECT
public:
    PairingPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
