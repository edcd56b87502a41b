// A text a list shows in place of its rows when it has none.
#pragma once

#include <QString>

class QPainter;
class QPalette;
class QRect;

// Draws `text` word-wrapped and centred in `area`, in the palette's text colour.
void DrawEmptyListText(QPainter& painter, const QRect& area, const QString& text,
                       const QPalette& palette);
