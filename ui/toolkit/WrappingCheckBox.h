#pragma once
// A check box whose text, where one line is too narrow for it, is drawn on as many lines as it
// needs (up to MaximumLines, the last cut short with "…" only beyond). text() stays the whole
// text; the box grows in height with its lines, and a click anywhere on it toggles it.
#include <QCheckBox>

namespace OX
{

class WrappingCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    static constexpr int MaximumLines = 3;

    explicit WrappingCheckBox(QWidget* parent = nullptr);

    // The text as drawn at the current width, its lines joined by "\n".
    QString shownText() const;

    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QString linesFor(int width) const;
    // The box's size around shown (the indicator, its spacing and the text's lines).
    QSize sizeFor(const QString& shown) const;
};

} // namespace OX
