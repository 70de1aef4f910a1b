#include "ui/toolkit/WrappingCheckBox.h"

#include "ui/toolkit/TextWrap.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace OX
{

namespace
{
// The narrowest text column that is still worth reading, in average characters.
constexpr int MinimumColumnChars = 12;
} // namespace

WrappingCheckBox::WrappingCheckBox(QWidget* parent)
    : QCheckBox(parent)
{
    // Narrower than its text on one line where the layout asks, then as high as its lines.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum, QSizePolicy::CheckBox);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QString WrappingCheckBox::shownText() const
{
    return linesFor(width());
}

QString WrappingCheckBox::linesFor(int width) const
{
    const int room = width - sizeFor(QString()).width();
    return wrapText(text(), fontMetrics(), qMax(1, room), MaximumLines);
}

QSize WrappingCheckBox::sizeFor(const QString& shown) const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shown;
    const QSize text = shown.isEmpty() ? QSize(0, fontMetrics().height())
                                       : fontMetrics().size(Qt::TextShowMnemonic, shown);
    return style()->sizeFromContents(QStyle::CT_CheckBox, &option, text, this);
}

QSize WrappingCheckBox::minimumSizeHint() const
{
    const int narrow = sizeFor(QString()).width() + MinimumColumnChars * fontMetrics().averageCharWidth();
    return QSize(narrow, heightForWidth(narrow));
}

bool WrappingCheckBox::hasHeightForWidth() const
{
    return true;
}

int WrappingCheckBox::heightForWidth(int width) const
{
    return sizeFor(linesFor(width)).height();
}

void WrappingCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownText();
    painter.drawControl(QStyle::CE_CheckBox, option);
}

bool WrappingCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

} // namespace OX
