#pragma once
// A page that shows only its title and "Back", standing in for a page still to be built. The
// title is an untranslated text of the translation context "OX::PlaceholderPage".
#include "ui/toolkit/Page.h"

namespace OX
{

class PlaceholderPage : public Page
{
    Q_OBJECT
public:
    PlaceholderPage(PageContainer* container, char const* title, QWidget* parent = nullptr);

    // The subtitle shows the title; the footer has "Back" alone.
    void retranslate() override;

private:
    char const* m_title;
};

} // namespace OX
