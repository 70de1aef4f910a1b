#pragma once
// The bubble with a warning text, white on black, shown beside a field whose entry is wrong
// (two passwords that differ). A text too long for the screen beside the field wraps.
#include "ui/toolkit/Bubble.h"

class QLabel;

namespace OX
{

class WarningBubble : public Bubble
{
    Q_OBJECT
public:
    static constexpr int TextPointSize = 12;
    static constexpr int TextMargin = 8;
    // A warning wider than the room beside its field wraps, but never narrower than this.
    static constexpr int MinimumTextWidth = 160;

    WarningBubble();
    ~WarningBubble() override;

    using Bubble::showBubble;
    // Sets the warning's text, wrapped to the room beside target, then shows the bubble as
    // showBubble(target, direction) does.
    void showBubble(QWidget* target, Direction direction, const QString& text);

    QString text() const;

private:
    QLabel* m_label = nullptr;
};

} // namespace OX
