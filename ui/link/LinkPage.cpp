#include "ui/link/LinkPage.h"

namespace OX
{

LinkPage::LinkPage(PageContainer* container, OrvixDevice::Preset preset, QWidget* parent)
    : PlaceholderPage(container,
        preset == OrvixDevice::LinkOutdoorDrive ? QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Link Outdoor")
                                                : QT_TRANSLATE_NOOP("OX::PlaceholderPage", "Link Indoor"),
        parent)
    , m_preset(preset)
{
}

} // namespace OX
