#pragma once
// The LINK firmware page ("Firmware"), reached only through the disabled menu entry.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class FirmwarePage : public PlaceholderPage
{
    Q_OBJECT
public:
    FirmwarePage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
