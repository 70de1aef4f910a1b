#include "ui/pages/AppearancePage.h"

namespace OX
{

AppearancePage::AppearancePage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Appearance"), parent)
{
}

} // namespace OX
