#pragma once
// One numbered entry of an expandable list: a step marker, a title button and a description
// that opens below the title while the entry is expanded. Title and description are kept as
// untranslated texts and shown in the current language (context "LinkPage"). A title is shown
// whole, on two lines where one is too narrow; only a title that two lines cannot hold is cut
// short with "…", the whole title then in its tool tip. The open description is as high as its
// text, up to MaximumDescriptionHeight, beyond which it scrolls.
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace OX
{

class ProgressMarker;

class ExpandableListViewItem : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MarkerWidth = 25;
    static constexpr int TitleMinimumHeight = 25;
    static constexpr int MaximumDescriptionHeight = 230;

    ExpandableListViewItem(const char* title, const char* description, int index, const QString& identifier,
        QWidget* parent = nullptr);

    QString getIdentifier() const { return m_identifier; }
    int index() const { return m_index; }
    bool isExpanded() const { return m_expanded; }
    bool isFirstItem() const { return m_first; }
    bool isLastItem() const { return m_last; }

    void setExpand(bool expanded);
    // Applies the stored expanded state again.
    void expandTextarea();
    void setFirstItem(bool first);
    void setLastItem(bool last);
    // The entry with its title button and description.
    void setEnabled(bool enabled);
    void retranslate();
    // The title as the button shows it (whole, perhaps broken into two lines, or cut short with
    // "…").
    QString shownTitle() const;
    // The whole title in the current language.
    QString title() const;

signals:
    void itemClickedSignal();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A new language reaches every entry, also those of a tab not shown.
    void changeEvent(QEvent* event) override;

private:
    void fitTitle();
    void fitDescription();

    ProgressMarker* m_marker = nullptr;
    QPushButton* m_title = nullptr;
    QTextBrowser* m_description = nullptr;
    bool m_expanded = false;
    bool m_first = false;
    bool m_last = false;
    int m_index = 0;
    QString m_identifier;
    const char* m_titleText = nullptr;
    const char* m_descriptionText = nullptr;
};

} // namespace OX
