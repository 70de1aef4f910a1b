#include "ui/pages/PairingPage.h"

namespace OX
{

PairingPage::PairingPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Pairing"), parent)
{
}

} // namespace OX
