#include "ui/toolkit/ExpandableListViewItem.h"

#include "ui/toolkit/ProgressMarker.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionButton>
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
    // The list's width decides the button's, not the title's length (fitTitle makes them agree).
    m_title->setSizePolicy(QSizePolicy::Ignored, m_title->sizePolicy().verticalPolicy());
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
    fitTitle();
    m_description->setText(
        m_descriptionText ? QCoreApplication::translate(TextContext, m_descriptionText) : QString());
}

QString ExpandableListViewItem::shownTitle() const
{
    return m_title->text();
}

void ExpandableListViewItem::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitTitle();
}

void ExpandableListViewItem::fitTitle()
{
    const QString title = m_titleText ? QCoreApplication::translate(TextContext, m_titleText) : QString();
    // The room for text: the button's width less what its style draws around the text.
    QStyleOptionButton option;
    option.initFrom(m_title);
    const QSize frame
        = m_title->style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), m_title);
    const int room = qMax(0, m_title->width() - frame.width());
    const QFontMetrics metrics(m_title->font());
    const bool fits = metrics.horizontalAdvance(title) <= room || m_title->width() <= 0;
    m_title->setText(fits ? title : metrics.elidedText(title, Qt::ElideRight, room));
    m_title->setToolTip(fits ? QString() : title);
}

} // namespace OX
