#include "ui/pages/StatusPage.h"

namespace OX
{

StatusPage::StatusPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "System Status"), parent)
{
}

} // namespace OX
