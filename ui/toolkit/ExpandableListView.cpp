#include "ui/toolkit/ExpandableListView.h"

#include "ui/toolkit/ExpandableListViewItem.h"

#include <QVBoxLayout>

namespace OX
{

namespace
{

constexpr int ListMargin = 11;

} // namespace

ExpandableListView::ExpandableListView(QWidget* parent)
    : QWidget(parent)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setObjectName(QStringLiteral("verticalLayout"));
    m_layout->setSpacing(0);
    m_layout->setContentsMargins(ListMargin, ListMargin, ListMargin, ListMargin);
    m_layout->setAlignment(Qt::AlignTop);
}

void ExpandableListView::addItem(const QString& identifier, const char* title, const char* description)
{
    auto* item = new ExpandableListViewItem(title, description, m_identifiers.size() + 1, identifier, this);
    connect(item, &ExpandableListViewItem::itemClickedSignal, this, [this, item] { itemClicked(item); });
    m_identifiers.append(identifier);
    m_items.insert(identifier, item);
    m_layout->addWidget(item);
    if (!m_firstItem) {
        item->setFirstItem(true);
        item->setLastItem(true);
        m_firstItem = item;
    } else {
        item->setLastItem(true);
        m_lastItem->setLastItem(false);
    }
    m_lastItem = item;
}

void ExpandableListView::itemClicked(ExpandableListViewItem* item)
{
    m_activeItem = item;
    emit itemClickedSignal(item);
}

void ExpandableListView::setActiveItem(const QString& identifier)
{
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        ExpandableListViewItem* item = it.value();
        if (it.key() == identifier) {
            item->setExpand(true);
            item->retranslate();
            m_activeItem = item;
        } else {
            item->setExpand(false);
        }
    }
}

bool ExpandableListView::setItemEnabled(const QString& identifier, bool enabled)
{
    ExpandableListViewItem* item = m_items.value(identifier);
    if (!item || item == m_activeItem)
        return false;
    item->setEnabled(enabled);
    return true;
}

bool ExpandableListView::isItemEnabled(const QString& identifier) const
{
    const ExpandableListViewItem* item = m_items.value(identifier);
    return item && item->isEnabledTo(this);
}

void ExpandableListView::retranslate()
{
    for (ExpandableListViewItem* item : qAsConst(m_items))
        item->retranslate();
}

} // namespace OX
