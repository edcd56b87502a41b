#include "ui/pic_ItemRow.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/Orientation.h"
#include "app/pic_Item.h"

namespace {

const QColor kSelectedBackground(238, 238, 255);
const QColor kEnabledText(255, 0, 0);
const QColor kDisabledText(119, 0, 0);

// Indexed by orientation code; a code above 9 shows entry 0.
constexpr const char* kOrientationLabels[10] = {
    "", "(Landscape)", "", "(Landscape)", "", "", "(Portrait)", "(Landscape)", "(Portrait)", ""};

// A row without a thumbnail keeps the room of a 160 x 120 one.
constexpr int kEmptyThumbnailSide = 159;
constexpr int kTextGap = 10;
constexpr int kThumbnailInset = 4;
constexpr int kNoThumbnailLeft = 50;
constexpr int kNoThumbnailBaseline = 60;

// The calendar form of the C library's asctime, without its newline, always in UTC and in
// English whatever the locale.
QString DateText(uint32_t date) {
  static constexpr const char* kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const time_t seconds = time_t(date);
  tm calendar{};
  gmtime_r(&seconds, &calendar);
  char text[32];
  std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays[calendar.tm_wday],
                kMonths[calendar.tm_mon], calendar.tm_mday, calendar.tm_hour, calendar.tm_min,
                calendar.tm_sec, calendar.tm_year + 1900);
  return QString::fromLatin1(text);
}

}  // namespace

std::array<QString, 6> RowText(const pic_Item& item) {
  const bool portrait = IsPortrait(item.orientation);
  // Any other kind says what it is where a picture's orientation stands.
  QString label =
      QString::fromLatin1(item.kind == FileKind::kPicture
                              ? kOrientationLabels[item.orientation < 10 ? item.orientation : 0]
                              : KindLabel(item.kind));
  if (item.HasSoundNote()) label += label.isEmpty() ? "(Sound note)" : " (Sound note)";
  return {
      QString::fromUtf8(item.GetName()),
      QString::asprintf("%u*%u pixels %u bytes.", portrait ? item.yres : item.xres,
                        portrait ? item.xres : item.yres, item.size),
      QString::asprintf("%s ", item.FlashFired() ? "(Flash)" : "(No flash)") + label,
      DateText(item.date),
      item.attributes & pic_Item::kNew ? QStringLiteral("New picture")
                                       : QStringLiteral("Downloaded"),
      item.attributes & pic_Item::kProtected ? QStringLiteral("Delete protected.") : QString(),
  };
}

int TextColumn(const pic_Item& item) {
  const kit::Bitmap* thumbnail = item.Thumbnail();
  const int side =
      thumbnail ? std::max(thumbnail->Width(), thumbnail->Height()) - 1 : kEmptyThumbnailSide;
  return side + kTextGap;
}

void DrawItem(QPainter& painter, const pic_Item& item, const QRect& frame, const RowState& state) {
  const QFontMetricsF metrics(painter.font());
  const qreal pitch = metrics.ascent() + metrics.descent();

  // An unselected row drawn in part keeps the background the list painted.
  if (state.selected || state.complete) {
    painter.fillRect(frame, state.selected ? kSelectedBackground : state.viewColor);
  }
  painter.setPen(state.enabled ? kEnabledText : kDisabledText);

  const qreal left = frame.left() + TextColumn(item);
  const std::array<QString, 6> lines = RowText(item);
  for (size_t k = 0; k < lines.size(); ++k) {
    painter.drawText(QPointF(left, frame.top() + qreal(k + 1) * pitch), lines[k]);
  }

  if (const kit::Bitmap* thumbnail = item.Thumbnail()) {
    // Wraps the record's pixels for the one drawing call, without copying them.
    const QImage image(thumbnail->Bits(), thumbnail->Width(), thumbnail->Height(),
                       thumbnail->BytesPerRow(), QImage::Format_RGB32);
    painter.drawImage(QPoint(frame.left() + kThumbnailInset, frame.top() + kThumbnailInset), image);
  } else {
    painter.drawText(
        QPointF(frame.left() + kNoThumbnailLeft, frame.top() + kNoThumbnailBaseline + pitch / 2),
        QStringLiteral("No thumbnail"));
  }
}
