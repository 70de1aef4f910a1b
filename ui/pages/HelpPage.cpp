#include "ui/pages/HelpPage.h"

namespace OX
{

HelpPage::HelpPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Help"), parent)
{
}

} // namespace OX
