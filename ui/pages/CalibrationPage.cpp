#include "ui/pages/CalibrationPage.h"

namespace OX
{

CalibrationPage::CalibrationPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Calibration"), parent)
{
}

} // namespace OX
