// What an empty picture list says in its place: a sentence telling the user why there is
// nothing to show and what to do, drawn in the list itself rather than as an alert.
#pragma once

#include <QRect>
#include <QString>

class QPainter;
class QWidget;

// Until a camera's rows come.
extern const char kNoCameraText[];
// Once a camera's listing has been read, for a camera with no pictures or none left.
extern const char kNoPicturesText[];

// Draws `text` centred in `area` of `widget`, wrapped at words, in the widget's placeholder
// colour; nothing for an empty text.
void DrawEmptyListText(QPainter& painter, const QWidget& widget, const QRect& area,
                       const QString& text);
