#include "ui/link/LinkSelectionPage.h"

namespace OX
{

LinkSelectionPage::LinkSelectionPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Link"), parent)
{
}

} // namespace OX
