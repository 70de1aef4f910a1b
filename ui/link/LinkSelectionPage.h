#pragma once
// The LINK selection page ("Link"): indoor or outdoor LINK settings.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class LinkSelectionPage : public PlaceholderPage
{
    Q_OBJECT
public:
    LinkSelectionPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
