#include "ui/pages/ProfilesPage.h"

namespace OX
{

ProfilesPage::ProfilesPage(PageContainer* container, QWidget* parent)
    : PlaceholderPage(container, QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Mouse Profiles"), parent)
{
}

} // namespace OX
