#pragma once
// The help page ("Help"): the help document at the topic of the page it was opened from.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class HelpPage : public PlaceholderPage
{
    Q_OBJECT
public:
    HelpPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
