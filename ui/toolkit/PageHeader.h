#pragma once
// The bar above the pages: the home button, the title over the subtitle and the help button.
// Pages never touch it; they set its texts through their container, and a click on one of its
// buttons goes back to the container as a PageAction.
#include <QString>
#include <QWidget>

namespace OX
{

class PageHeader : public QWidget
{
public:
    // The header's texts, kept by a page's way back so that going back shows them again.
    struct State {
        QString title;
        QString subtitle;

        void clear()
        {
            title.clear();
            subtitle.clear();
        }
        bool operator==(State const& other) const
        {
            return title == other.title && subtitle == other.subtitle;
        }
    };
};

} // namespace OX
