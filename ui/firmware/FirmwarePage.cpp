#include "ui/firmware/FirmwarePage.h"

namespace OX
{

FirmwarePage::FirmwarePage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Firmware Update"), parent)
{
}

} // namespace OX
