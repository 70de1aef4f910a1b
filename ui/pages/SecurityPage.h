#pragma once
// The network password page ("Security").
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class SecurityPage : public PlaceholderPage
{
    Q_OBJECT
public:
    SecurityPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
