#pragma once
// The mouse profiles page ("Profiles").
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class ProfilesPage : public PlaceholderPage
{
    Q_OBJECT
public:
    ProfilesPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
