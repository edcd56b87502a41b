#include "ui/EmptyListText.h"

#include <QPainter>
#include <QPalette>
#include <QRect>

namespace {

// Kept off the list's edges, so that a long text reads as a paragraph.
constexpr int kMargin = 16;

}  // namespace

void DrawEmptyListText(QPainter& painter, const QRect& area, const QString& text,
                       const QPalette& palette) {
  if (text.isEmpty()) return;
  painter.save();
  painter.setPen(palette.color(QPalette::Text));
  painter.drawText(area.adjusted(kMargin, kMargin, -kMargin, -kMargin),
                   Qt::AlignCenter | Qt::TextWordWrap, text);
  painter.restore();
}
