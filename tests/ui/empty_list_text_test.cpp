// What the picture list says while it has no rows, drawn in the list itself.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>

#include "tests/app/picture_list_rows.h"
#include "tests/ui/picture_row_support.h"
#include "tests/ui/window_look.h"
#include "ui/EmptyListText.h"
#include "ui/ptv_mainWin.h"
#include "ui/ptv_picListView.h"

namespace {

// Pixels of the viewport that are not its background.
int Drawn(ptv_picListView& view) {
  const QImage image = view.viewport()->grab().toImage();
  const QRgb background = view.palette().color(QPalette::Base).rgb();
  int drawn = 0;
  for (int y = 0; y < image.height(); y++)
    for (int x = 0; x < image.width(); x++) drawn += image.pixel(x, y) != background ? 1 : 0;
  return drawn;
}

TEST(EmptyListText, TheWindowSaysNoCameraUntilRowsCome) {
  uitest::PinnedLook look;
  ptv_mainWin window;
  EXPECT_EQ(window.ListView()->EmptyText(), QString::fromUtf8(kNoCameraText));
  EXPECT_EQ(window.ListView()->EmptyText(),
            QStringLiteral("No camera. Plug in the camera and switch it to playback."));

  PictureList list;
  ptv_picListView view(list);
  view.setFont(rowpixels::RowFont());
  ASSERT_FALSE(view.font().family().isEmpty());
  ASSERT_TRUE(QFontMetrics(view.font()).inFont(QLatin1Char('N')));
  view.resize(380, 250);
  view.show();
  QApplication::processEvents();
  EXPECT_EQ(Drawn(view), 0);
  view.SetEmptyText(QString::fromUtf8(kNoCameraText));
  QApplication::processEvents();
  EXPECT_GT(Drawn(view), 200);

  list.add_item(rows::Make(100, 0x20));
  QApplication::processEvents();
  const QImage with_row = view.viewport()->grab().toImage();
  // The sentence would stand in the middle; a row has only its own text there.
  view.SetEmptyText(QString());
  QApplication::processEvents();
  EXPECT_EQ(view.viewport()->grab().toImage(), with_row);
}

}  // namespace
