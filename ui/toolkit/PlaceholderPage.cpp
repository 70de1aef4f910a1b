#include "ui/toolkit/PlaceholderPage.h"

namespace OX
{

PlaceholderPage::PlaceholderPage(PageContainer* container, char const* title, QWidget* parent)
    : Page(container, parent)
    , m_title(title)
{
}

void PlaceholderPage::retranslate()
{
    if (!container)
        return;
    container->setSubtitle(tr(m_title));
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(QString(), PageAction::none, nullptr, PageFooter::MainButton);
}

} // namespace OX
