#include "ui/pages/SecurityPage.h"

namespace OX
{

SecurityPage::SecurityPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Security"), parent)
{
}

} // namespace OX
