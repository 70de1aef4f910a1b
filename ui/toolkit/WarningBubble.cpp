#include "ui/toolkit/WarningBubble.h"

#include <QHBoxLayout>
#include <QLabel>

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
    adjustSize();
    Bubble::showBubble(target, direction);
}

QString WarningBubble::text() const
{
    return m_label->text();
}

} // namespace OX
