#pragma once
// The calibration page ("Calibration"): the headset's sensor calibration.
// For now it shows only its title and "Back".
#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

class CalibrationPage : public PlaceholderPage
{
    Q_OBJECT
public:
    CalibrationPage(PageContainer* container, QWidget* parent = nullptr);
};

} // namespace OX
