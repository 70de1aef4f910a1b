#include "ui/toolkit/WarningBubble.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace OX
{

namespace
{

QWidget* makeContent()
{
    auto* content = new QWidget;
    content->setStyleSheet(QStringLiteral("background-color: black;"));
    auto* layout = new QHBoxLayout(content);
    layout->setContentsMargins(WarningBubble::TextMargin, WarningBubble::TextMargin,
        WarningBubble::TextMargin, WarningBubble::TextMargin);
    auto* label = new QLabel(content);
    QFont font = label->font();
    font.setPointSize(WarningBubble::TextPointSize);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: white;"));
    layout->addWidget(label);
    return content;
}

} // namespace

WarningBubble::WarningBubble()
    : Bubble(makeContent())
    , m_label(findChild<QLabel*>())
{
}

WarningBubble::~WarningBubble() = default;

void WarningBubble::showBubble(QWidget* target, Direction direction, const QString& text)
{
    m_label->setText(text);
    m_label->setWordWrap(false);
    m_label->setMinimumWidth(0);
    m_label->setMaximumWidth(QWIDGETSIZE_MAX);
    const QRect beside = roomBeside(target, direction);
    const bool sideways = direction == Left || direction == Right;
    const int room = beside.width() - 2 * TextMargin - (sideways ? SideArrowDepth : 0);
    if (!beside.isEmpty() && m_label->sizeHint().width() > room) {
        m_label->setWordWrap(true);
        m_label->setFixedWidth(std::max(room, int(MinimumTextWidth)));
    }
    adjustSize();
    Bubble::showBubble(target, direction);
}

QString WarningBubble::text() const
{
    return m_label->text();
}

} // namespace OX
