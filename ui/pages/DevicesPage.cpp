#include "ui/pages/DevicesPage.h"

namespace OX
{

DevicesPage::DevicesPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Devices"), parent)
{
}

} // namespace OX
