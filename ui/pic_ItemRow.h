// How one picture row looks: the thumbnail on the left and six lines of text beside it.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <array>

class QPainter;
class pic_Item;

// What the list tells a row when it draws it.
struct RowState {
  bool selected = false;
  bool enabled = true;
  bool complete = false;  // the whole row is repainted, background included
  QColor viewColor;       // the list's background
};

// The six text lines, top to bottom.
std::array<QString, 6> RowText(const pic_Item& item);

// Distance of the text column from the row's left edge: the same whichever way the
// thumbnail lies, since it goes by the thumbnail's longer side.
int TextColumn(const pic_Item& item);

// Paints the row into frame (the list's coordinates) with the painter's font.
void DrawItem(QPainter& painter, const pic_Item& item, const QRect& frame, const RowState& state);
