#pragma once
// The bar below the pages: a left button, two right buttons and a busy wheel. Pages set its
// buttons through their container; a click goes back to the container with the button's
// PageAction and the page that set it. A button set with action none is hidden.
#include "ui/toolkit/PageAction.h"

#include <QString>
#include <QWidget>

#include <memory>

namespace Ui
{
class PageFooter;
}

class QPushButton;

namespace OX
{

class Page;
class PageContainer;
class ProgressWheel;

class PageFooter : public QWidget
{
    Q_OBJECT
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
        // The record of the bar's own setters (below), without the bar: a button handed to
        // another page is enabled again, button 0 also clears button 1 (enabled in the record).
        void setLeft(QString const& text, PageAction action, Page* page);
        void setRight(QString const& text, PageAction action, Page* page, ButtonIndex index);
        void setRightEnabled(ButtonIndex index, bool enabled);
        bool operator==(State const& o) const
        {
            return left == o.left && right == o.right && alternativeRight == o.alternativeRight;
        }
    };

    explicit PageFooter(PageContainer* container);
    ~PageFooter() override;

    // Stores text, action and page; shows the button with the text unless the action is none.
    void setLeft(QString const& text, PageAction action, Page* page);
    // Button 1 alone, or button 0, which also clears button 1 (no page, action none, no text;
    // its enabled flag stays) and hides it. Another index stores nothing. A button set for
    // another page than the one that had it is enabled again unless the footer is busy.
    void setRight(QString const& text, PageAction action, Page* page, ButtonIndex index);
    // Also kept in the state, so that a snapshot restores the button as the page left it.
    void setRightEnabled(ButtonIndex index, bool enabled);
    void setLeftEnabled(bool enabled);
    // Busy: both right buttons off and the wheel spinning; not busy: both on, whatever a page
    // had disabled before, and the wheel hidden. The left button is not touched.
    void setProgress(bool busy);
    State const& state() const { return m_state; }
    // The texts come from the pages: nothing to do.
    void retranslate();

    QPushButton* leftButton() const;
    // index 0 "rightButton", 1 "actionButton"; null for another index.
    QPushButton* rightButton(int index) const;
    ProgressWheel* progressWheel() const;

public slots:
    void leftAction();
    void rightAction();
    void alternativeRightAction();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PageContainer* m_container;
    State m_state;
    bool m_busy = false;
    std::unique_ptr<Ui::PageFooter> m_ui;
};

} // namespace OX
