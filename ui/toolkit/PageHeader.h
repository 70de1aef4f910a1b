#pragma once
// The bar above the pages: the home button, the title over the subtitle and the help button.
// Pages never touch it; they set its texts through their container, and a click on one of its
// buttons goes back to the container as a PageAction. A left-button drag on the bar moves the
// frameless window by each step of the pointer.
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace Ui
{
class PageHeader;
}

class QLabel;
class QToolButton;

namespace OX
{

class PageContainer;

class PageHeader : public QWidget
{
    Q_OBJECT
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

    explicit PageHeader(PageContainer* container);

    ~PageHeader() override;

    void setTitle(QString const& title);
    void setSubtitle(QString const& subtitle);
    State const& state() const { return m_state; }
    // The home and the help button.
    void setLeftEnabled(bool enabled);
    void setRightEnabled(bool enabled);
    // The texts come from the pages: nothing to do.
    void retranslate();

    QToolButton* homeButton() const;
    QToolButton* helpButton() const;
    QLabel* titleLabel() const;
    QLabel* subtitleLabel() const;

public slots:
    // Ask the container for home (13) and help (14), without a page.
    void homeAction();
    void helpAction();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PageContainer* m_container;
    State m_state;
    QPoint m_lastMousePos;
    bool m_dragging = false;
    std::unique_ptr<Ui::PageHeader> m_ui;
    // The buttons' icons, drawn on Qt's thread pool from the construction on; set on the buttons
    // when first needed (the header polished for its first showing, or a button asked for).
    struct PendingIcons;
    std::unique_ptr<PendingIcons> m_pendingIcons;
    void takeIcons() const;
};

} // namespace OX
