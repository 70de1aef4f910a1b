#include "ui/toolkit/ExpandableListViewItem.h"

#include "ui/toolkit/ProgressMarker.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace OX
{

namespace
{

const char TextContext[] = "LinkPage";
constexpr int ItemSpacing = 10;
constexpr int TextSpacing = 3;
constexpr int TextBottomMargin = 6;
constexpr int ItemMinimumHeight = 10;

} // namespace

ExpandableListViewItem::ExpandableListViewItem(
    const char* title, const char* description, int index, const QString& identifier, QWidget* parent)
    : QWidget(parent)
    , m_index(index)
    , m_identifier(identifier)
    , m_titleText(title)
    , m_descriptionText(description)
{
    auto* row = new QHBoxLayout(this);
    row->setSpacing(ItemSpacing);
    row->setContentsMargins(0, 0, 0, 0);

    m_marker = new ProgressMarker(this, index);
    m_marker->setMinimumWidth(MarkerWidth);
    m_marker->setMaximumWidth(MarkerWidth);
    row->addWidget(m_marker);

    auto* column = new QVBoxLayout();
    column->setAlignment(Qt::AlignTop);
    column->setSpacing(TextSpacing);
    column->setContentsMargins(0, 0, 0, TextBottomMargin);
    m_title = new QPushButton(this);
    m_title->setObjectName(QStringLiteral("pushButton_%1").arg(index));
    m_title->setMinimumHeight(TitleMinimumHeight);
    m_description = new QTextBrowser(this);
    m_description->setMaximumHeight(0);
    column->addWidget(m_title);
    column->addWidget(m_description);
    row->addLayout(column);

    setMinimumHeight(ItemMinimumHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_title, &QPushButton::clicked, this, &ExpandableListViewItem::itemClickedSignal);
    retranslate();
}

void ExpandableListViewItem::setExpand(bool expanded)
{
    m_expanded = expanded;
    expandTextarea();
}

void ExpandableListViewItem::expandTextarea()
{
    m_description->setMaximumHeight(m_expanded ? ExpandedHeight : 0);
}

void ExpandableListViewItem::setFirstItem(bool first)
{
    m_first = first;
    m_marker->setFirst(first);
}

void ExpandableListViewItem::setLastItem(bool last)
{
    m_last = last;
    m_marker->setLast(last);
}

void ExpandableListViewItem::setEnabled(bool enabled)
{
    QWidget::setEnabled(enabled);
    m_title->setEnabled(enabled);
    m_description->setEnabled(enabled);
}

void ExpandableListViewItem::retranslate()
{
    m_title->setText(m_titleText ? QCoreApplication::translate(TextContext, m_titleText) : QString());
    m_description->setText(
        m_descriptionText ? QCoreApplication::translate(TextContext, m_descriptionText) : QString());
}

} // namespace OX
