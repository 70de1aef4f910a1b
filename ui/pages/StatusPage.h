#pragma once
// The system status page ("Status"): the dongle's and the headset's identity and state.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class StatusPage : public PlaceholderPage
{
    Q_OBJECT
public:
    StatusPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
