#include "ui/toolkit/TextWrap.h"

#include <QLayout>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace OX
{

QString wrapText(const QString& text, const QFontMetrics& metrics, int room, int maxLines)
{
    if (metrics.horizontalAdvance(text) <= room || maxLines < 2)
        return metrics.elidedText(text, Qt::ElideRight, room);
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    int next = 0;
    while (lines.size() < maxLines - 1 && next < words.size()) {
        QString line = words.at(next);
        if (metrics.horizontalAdvance(line) > room)
            break; // a word wider than the room: the rest is cut short below
        for (++next; next < words.size(); ++next) {
            const QString longer = line + QLatin1Char(' ') + words.at(next);
            if (metrics.horizontalAdvance(longer) > room)
                break;
            line = longer;
        }
        lines << line;
    }
    if (next < words.size())
        lines << metrics.elidedText(words.mid(next).join(QLatin1Char(' ')), Qt::ElideRight, room);
    return lines.join(QLatin1Char('\n'));
}

int heightForTexts(QWidget* window)
{
    window->ensurePolished();
    if (QLayout* layout = window->layout())
        layout->activate(); // the size hints of a text just set
    return std::max(window->height(), window->heightForWidth(window->width()));
}

} // namespace OX
