#pragma once
// The numbered list on the left of a master-detail view: entries in the order they were added,
// the active one expanded and the others collapsed. The active entry is never enabled or
// disabled, so the entry on screen stays usable.
#include <QMap>
#include <QStringList>
#include <QWidget>

class QVBoxLayout;

namespace OX
{

class ExpandableListViewItem;

class ExpandableListView : public QWidget
{
    Q_OBJECT
public:
    explicit ExpandableListView(QWidget* parent = nullptr);

    void addItem(const QString& identifier, const char* title, const char* description);
    // Expands the entry named identifier (which becomes active) and collapses the others.
    void setActiveItem(const QString& identifier);
    // False when no entry has the identifier or it is the active one.
    bool setItemEnabled(const QString& identifier, bool enabled);
    // Whether the entry is enabled in itself; false when there is none.
    bool isItemEnabled(const QString& identifier) const;
    void retranslate();

    ExpandableListViewItem* item(const QString& identifier) const { return m_items.value(identifier); }
    ExpandableListViewItem* firstItem() const { return m_firstItem; }
    ExpandableListViewItem* lastItem() const { return m_lastItem; }
    ExpandableListViewItem* activeItem() const { return m_activeItem; }
    // In the order of addition.
    QStringList identifiers() const { return m_identifiers; }

    void itemClicked(ExpandableListViewItem* item);

signals:
    void itemClickedSignal(OX::ExpandableListViewItem* item);

private:
    QVBoxLayout* m_layout = nullptr;
    QMap<QString, ExpandableListViewItem*> m_items;
    QStringList m_identifiers;
    ExpandableListViewItem* m_firstItem = nullptr;
    ExpandableListViewItem* m_lastItem = nullptr;
    ExpandableListViewItem* m_activeItem = nullptr;
};

} // namespace OX
