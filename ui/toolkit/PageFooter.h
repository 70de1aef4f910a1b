#pragma once
// The bar below the pages: a left button, two right buttons and a busy wheel. Pages set its
// buttons through their container; a click goes back to the container with the button's
// PageAction and the page that set it.
#include "ui/toolkit/PageAction.h"

#include <QString>
#include <QWidget>

namespace OX
{

class Page;

class PageFooter : public QWidget
{
public:
    // The two right buttons: 0 the main (rightmost) one, 1 the alternative one beside it.
    enum ButtonIndex : int {
        MainButton = 0,
        AlternativeButton = 1,
    };

    // One footer button: its label, the page it hands its action to, the action, and whether
    // a snapshot restores it enabled.
    struct ButtonState {
        QString text;
        Page* page = nullptr; // not owned
        PageAction action = PageAction::none;
        bool enabled = true;

        void clear() { *this = ButtonState(); }
        bool operator==(ButtonState const& o) const
        {
            return text == o.text && page == o.page && action == o.action && enabled == o.enabled;
        }
    };

    // The footer as a page's way back keeps it.
    struct State {
        ButtonState left;
        ButtonState right; // button 0
        ButtonState alternativeRight; // button 1

        void clear() { *this = State(); }
        bool operator==(State const& o) const
        {
            return left == o.left && right == o.right && alternativeRight == o.alternativeRight;
        }
    };
};

} // namespace OX
