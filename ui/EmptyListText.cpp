#include "ui/EmptyListText.h"

#include <QPainter>
#include <QWidget>

const char kNoCameraText[] = "No camera. Plug in the camera and switch it to playback.";
const char kNoPicturesText[] = "The camera holds no pictures.";

namespace {

// Clear of the list's edges, so that a wrapped sentence never touches its border.
constexpr int kMargin = 12;

}  // namespace

void DrawEmptyListText(QPainter& painter, const QWidget& widget, const QRect& area,
                       const QString& text) {
  if (text.isEmpty()) return;
  painter.save();
  painter.setPen(widget.palette().color(QPalette::PlaceholderText));
  painter.drawText(area.adjusted(kMargin, kMargin, -kMargin, -kMargin),
                   Qt::AlignCenter | Qt::TextWordWrap, text);
  painter.restore();
}
