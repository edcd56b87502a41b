// The About window's built-in picture: its size, its film-strip bands and a scene between them.
#include <gtest/gtest.h>
#include <QImage>

#include <set>

#include "ui/AboutPicture.h"

namespace {

// Holes every 14 pixels from x = 8, 5 x 5, two rows below each band's top.
bool Hole(int x, int y) {
  const int row = y < 9 ? y - 2 : y - 93;
  return row >= 0 && row < 5 && x >= 8 && (x - 8) % 14 < 5;
}

TEST(AboutPicture, IsOneHundredSquareInRgb) {
  const QImage picture = AboutPicture();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSize(100, 100));
  EXPECT_EQ(picture.format(), QImage::Format_RGB32);
}

TEST(AboutPicture, TopAndBottomNineRowsAreThePerforatedBands) {
  const QImage picture = AboutPicture();
  int holes = 0;
  for (int y : {0, 1, 2, 3, 4, 5, 6, 7, 8, 91, 92, 93, 94, 95, 96, 97, 98, 99}) {
    for (int x = 0; x < 100; ++x) {
      const QRgb expected = Hole(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
      ASSERT_EQ(picture.pixel(x, y), expected) << x << "," << y;
      holes += Hole(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(holes, 2 * 7 * 25);
}

TEST(AboutPicture, ShowsASceneBetweenTheBands) {
  const QImage picture = AboutPicture();
  std::set<QRgb> colours;
  int black = 0;
  for (int y = 9; y < 91; ++y) {
    for (int x = 0; x < 100; ++x) {
      colours.insert(picture.pixel(x, y));
      black += picture.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
    }
  }
  EXPECT_GT(colours.size(), 500u);
  EXPECT_EQ(black, 0);
  // Sky above, grass below.
  EXPECT_GT(qBlue(picture.pixel(10, 10)), qRed(picture.pixel(10, 10)));
  EXPECT_GT(qGreen(picture.pixel(50, 88)), qBlue(picture.pixel(50, 88)));
}

}  // namespace
