// The About window as drawn: the picture at its place, the film strip running on across the
// window, and the three lines of text in a real face on their baselines.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>

#include "tests/ui/window_look.h"
#include "ui/ptv_aboutWin.h"

namespace {

struct Line {
  QPoint pen;
  int size;
  QString text;
  // The rows between the bands given to this line alone.
  int top, bottom;
};

const Line kLines[] = {
    {{110, 43}, 25, QStringLiteral("pictrove 2.7"), 14, 50},
    {{110, 63}, 12, QStringLiteral("by the pictrove developers"), 51, 69},
    {{110, 88}, 10, QStringLiteral("Canon\u2122 PowerShot\u2122 series download utility"), 70, 95},
};

bool Dark(QRgb pixel) {
  return qRed(pixel) < 110 && qGreen(pixel) < 110 && qBlue(pixel) < 110;
}

// A film-strip row: holes 5 wide every 14 pixels from x = 13, in rows 2 to 6 of a band.
QRgb Strip(int x, int row) {
  const bool hole = row >= 2 && row <= 6 && x >= 13 && (x - 13) % 14 < 5;
  return hole ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
}

class AboutDrawing : public testing::Test {
 protected:
  void SetUp() override {
    window_.show();
    uitest::Settle();
    image_ = window_.grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  QRgb Background() const { return window_.View()->palette().color(QPalette::Window).rgb(); }

  uitest::PinnedLook look_;
  ptv_aboutWin window_;
  QImage image_;
};

TEST_F(AboutDrawing, GrabCoversTheWindow) {
  EXPECT_EQ(image_.size(), QSize(401, 111));
}

TEST_F(AboutDrawing, FilmStripRunsFromThePictureToTheBandsEnd) {
  for (int top : {5, 96}) {
    int window_holes = 0;
    for (int row = 0; row < 9; ++row) {
      for (int x = 5; x <= 395; ++x) {
        ASSERT_EQ(image_.pixel(x, top + row), Strip(x, row)) << x << "," << top + row;
        window_holes += x >= 105 && Strip(x, row) != qRgb(0, 0, 0) ? 1 : 0;
      }
    }
    EXPECT_EQ(window_holes, 21 * 25) << "band at " << top;
  }
}

TEST_F(AboutDrawing, BandsEndFlushWithTheLastHole) {
  for (int y : {7, 11, 98, 102}) {
    EXPECT_EQ(image_.pixel(395, y), qRgb(255, 255, 255)) << y;
    EXPECT_EQ(image_.pixel(396, y), Background()) << y;
  }
  for (int y : {5, 13, 96, 104}) {
    EXPECT_EQ(image_.pixel(395, y), qRgb(0, 0, 0)) << y;
    EXPECT_EQ(image_.pixel(396, y), Background()) << y;
    EXPECT_EQ(image_.pixel(4, y), Background()) << y;
  }
  EXPECT_EQ(image_.pixel(200, 4), Background());
  EXPECT_EQ(image_.pixel(200, 105), Background());
}

TEST_F(AboutDrawing, PictureFillsItsSquare) {
  const QImage& picture = window_.View()->Picture();
  ASSERT_EQ(picture.size(), QSize(100, 100));
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(image_.pixel(5 + x, 5 + y), picture.pixel(x, y)) << x << "," << y;
  }
}

TEST_F(AboutDrawing, TextsAreInARealFace) {
  for (const Line& line : kLines) {
    const QFont font = ptv_aboutview::TextFont(line.size);
    const QFontInfo info(font);
    EXPECT_FALSE(info.family().isEmpty());
    EXPECT_EQ(info.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(info.pixelSize(), line.size);
    const QFontMetrics metrics(font);
    for (QChar character : line.text)
      EXPECT_TRUE(metrics.inFont(character))
          << line.text.toStdString() << " " << int(character.unicode());
  }
}

TEST_F(AboutDrawing, FaceIsDejaVuSansWhateverTheApplicationFont) {
  QApplication::setFont(QFont(QStringLiteral("DejaVu Serif")));
  EXPECT_EQ(QFontInfo(ptv_aboutview::TextFont(12)).family(), QStringLiteral("DejaVu Sans"));
}

TEST_F(AboutDrawing, EachLineSitsOnItsBaseline) {
  for (const Line& line : kLines) {
    const QRect expected = QFontMetrics(ptv_aboutview::TextFont(line.size))
                               .tightBoundingRect(line.text)
                               .translated(line.pen);
    QRect drawn;
    for (int y = line.top; y <= line.bottom; ++y) {
      for (int x = 105; x < image_.width(); ++x) {
        if (Dark(image_.pixel(x, y))) drawn |= QRect(x, y, 1, 1);
      }
    }
    ASSERT_FALSE(drawn.isEmpty()) << line.text.toStdString();
    const std::string name = line.text.toStdString();
    // Antialiased ends of the first and last letters may fall short of the dark threshold.
    EXPECT_NEAR(drawn.left(), expected.left(), 1) << name;
    EXPECT_NEAR(drawn.right(), expected.right(), 2) << name;
    EXPECT_NEAR(drawn.top(), expected.top(), 1) << name;
    EXPECT_NEAR(drawn.bottom(), expected.bottom(), 1) << name;
  }
}

}  // namespace
