#pragma once
// The appearance page ("Appearance"): the toolbar's look, feedback and the language.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class AppearancePage : public PlaceholderPage
{
    Q_OBJECT
public:
    AppearancePage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
