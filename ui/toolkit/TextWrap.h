#pragma once
// A user text broken into lines that fit a width, for the widgets whose text Qt would draw on one
// line only (push buttons, check boxes).
#include <QFontMetrics>
#include <QString>

class QWidget;

namespace OX
{

// text in metrics within room pixels: whole on one line where it fits, else broken after the
// last whole word that fits into at most maxLines lines joined by "\n". Only the last line is cut
// short with "…", where even it is too long (or a first word is wider than room).
QString wrapText(const QString& text, const QFontMetrics& metrics, int room, int maxLines);

// The height window needs at its present width for every word-wrapped text of its layout to show
// whole, in the fonts its style sheet gives; never less than its present height.
int heightForTexts(QWidget* window);

} // namespace OX
