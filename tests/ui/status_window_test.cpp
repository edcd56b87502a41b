// The status window on its own: layout, the line, the bar and how the line is drawn.
#include <gtest/gtest.h>
#include <QProgressBar>

#include <string>

#include "tests/ui/picture_row_support.h"
#include "tests/ui/window_look.h"
#include "ui/ptv_statusWin.h"

namespace {

bool Dark(QRgb pixel) {
  return qGray(pixel) < 100;
}

class StatusWindow : public testing::Test {
 protected:
  static QProgressBar* Bar(const ptv_statusWin& window) {
    return window.View()->findChild<QProgressBar*>(QStringLiteral("statbar"));
  }

  // The exact byte counts, and the same share of the bar widget's range.
  static void ExpectBar(const ptv_statusWin& window, uint64_t value, uint64_t maximum) {
    EXPECT_EQ(window.View()->Value(), value);
    EXPECT_EQ(window.View()->Maximum(), maximum);
    const QProgressBar* bar = Bar(window);
    EXPECT_EQ(bar->minimum(), 0);
    ASSERT_GT(bar->maximum(), 0);
    const double exact = maximum == 0 ? 0.0 : double(value) / double(maximum);
    EXPECT_NEAR(double(bar->value()) / bar->maximum(), exact, 1e-6);
    if (value == maximum && maximum != 0) {
      EXPECT_EQ(bar->value(), bar->maximum());
    }
  }

  uitest::PinnedLook look_;
};

TEST_F(StatusWindow, IsLaidOutHiddenWithItsLineAndAnEmptyBar) {
  ptv_statusWin window(1000, "Downloading 1 of 4");
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("pictrove status"));
  EXPECT_EQ(window.geometry(), QRect(100, 100, 301, 103));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());

  const auto* view = window.findChild<ptv_statview*>(QStringLiteral("statview"));
  ASSERT_EQ(view, window.View());
  EXPECT_EQ(view->geometry(), QRect(0, 0, 301, 151));
  EXPECT_EQ(view->Line(), QStringLiteral("Downloading 1 of 4"));
  const QProgressBar* bar = Bar(window);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry(), QRect(5, 30, 291, 17));
  EXPECT_FALSE(bar->isTextVisible());
  ExpectBar(window, 0, 1000);

  EXPECT_TRUE(ptv_statusWin(10, nullptr).View()->Line().isEmpty());
}

// Under the bar: the picture's name and the run's figures, redrawn at most every quarter of
// a second however often the data comes.
TEST_F(StatusWindow, FiguresLineNamesThePictureAndKeepsItsPace) {
  ptv_statusWin window(2000000, "Downloading 1 of 2");
  ptv_statview* view = window.View();
  EXPECT_EQ(view->FiguresLine(), QStringLiteral("0.0 of 2.0 MB"));
  window.SetPicture("D:\\DCIM\\100CANON\\IMG_0002.JPG");
  ASSERT_TRUE(uitest::WaitUntil([&] { return view->FiguresLine().startsWith("IMG_0002.JPG  "); }));
  for (int piece = 0; piece < 300; piece++) window.updatestatus(5000, nullptr);
  EXPECT_TRUE(view->FiguresLine().startsWith("IMG_0002.JPG  0.0 of 2.0 MB"));  // not yet
  ASSERT_TRUE(uitest::WaitUntil([&] { return view->FiguresLine().contains("1.5 of 2.0 MB"); }));
  EXPECT_TRUE(view->FiguresLine().endsWith(QStringLiteral(" left")));
  const QImage drawn = view->grab().toImage();
  int dark = 0;  // through the figures line
  for (int x = 10; x <= 290; x++) dark += Dark(drawn.pixel(x, 61));
  EXPECT_GT(dark, 20);
}

TEST_F(StatusWindow, FourQuartersFillTheBarAndNothingOverfillsIt) {
  ptv_statusWin window(1000, "Downloading 1 of 1");
  for (int i = 0; i < 3; ++i) window.updatestatus(250, nullptr);
  ExpectBar(window, 750, 1000);
  window.updatestatus(250, nullptr);
  ExpectBar(window, 1000, 1000);
  window.updatestatus(900, nullptr);
  ExpectBar(window, 1000, 1000);
}

TEST_F(StatusWindow, UpdatesChangeTheLineOnlyWithText) {
  ptv_statusWin window(1000, "Downloading 1 of 2");
  window.updatestatus(400, nullptr);
  EXPECT_EQ(window.View()->Line(), QStringLiteral("Downloading 1 of 2"));
  window.updatestatus(0, "Downloading 2 of 2");
  EXPECT_EQ(window.View()->Line(), QStringLiteral("Downloading 2 of 2"));
  ExpectBar(window, 400, 1000);
}

TEST_F(StatusWindow, ResetEmptiesTheBarAndKeepsTheLine) {
  ptv_statusWin window(1000, "first");
  window.updatestatus(600, "second");
  window.reset(5000);
  ExpectBar(window, 0, 5000);
  EXPECT_EQ(window.View()->Line(), QStringLiteral("second"));
}

TEST_F(StatusWindow, TotalsBeyondTheWidgetsRangeStayExact) {
  ptv_statusWin window(6'000'000'000, nullptr);
  window.updatestatus(1'500'000'000, nullptr);
  window.updatestatus(1'500'000'000, nullptr);
  ExpectBar(window, 3'000'000'000, 6'000'000'000);
  window.updatestatus(0xFFFFFFFFu, nullptr);
  window.updatestatus(0xFFFFFFFFu, nullptr);
  ExpectBar(window, 6'000'000'000, 6'000'000'000);

  window.reset(0xFFFFFFFFu);
  window.updatestatus(0x7FFFFFFFu, nullptr);
  ExpectBar(window, 0x7FFFFFFFu, 0xFFFFFFFFu);

  // An empty range would show a busy bar instead of an empty one.
  window.reset(0);
  window.updatestatus(10, nullptr);
  ExpectBar(window, 0, 0);
  EXPECT_EQ(Bar(window)->value(), 0);
}

TEST_F(StatusWindow, LongTextIsCutToNinetyNineCharacters) {
  ptv_statusWin window(10, std::string(150, 'x').c_str());
  EXPECT_EQ(window.View()->Line(), QString(99, QLatin1Char('x')));
  window.updatestatus(0, std::string(99, 'y').c_str());
  EXPECT_EQ(window.View()->Line(), QString(99, QLatin1Char('y')));

  std::string accents, cameras;
  for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";          // é
  for (int i = 0; i < 100; ++i) cameras += "\xF0\x9F\x93\xB7";  // U+1F4F7
  window.updatestatus(0, accents.c_str());
  EXPECT_EQ(window.View()->Line(), QString(99, QChar(0xE9)));
  // Characters outside the basic plane are cut whole, never between their two halves.
  window.updatestatus(0, cameras.c_str());
  EXPECT_EQ(window.View()->Line().toUcs4(), QList<uint>(99, 0x1F4F7u));
}

TEST_F(StatusWindow, DrawsTheLineInBlackFromTenTwentyFive) {
  ptv_statusWin window(1000, "HHHHHHHHHH");
  ptv_statview* view = window.View();
  rowpixels::ExpectRealFont(view->font());
  ASSERT_TRUE(QFontMetrics(view->font()).inFont(QLatin1Char('H')));

  const QRect lineArea(0, 0, 301, 30);
  QImage image = view->grab().toImage();
  const QRect text = rowpixels::Extent(image, lineArea, Dark);
  ASSERT_FALSE(text.isEmpty());
  EXPECT_GE(text.left(), 10);
  EXPECT_LE(text.left(), 12);
  // Capitals stand on the baseline at y = 25.
  EXPECT_GE(text.bottom(), 23);
  EXPECT_LE(text.bottom(), 25);
  EXPECT_GT(text.width(), 50);
  EXPECT_FALSE(
      rowpixels::Extent(image, text, [](QRgb pixel) { return qGray(pixel) < 20; }).isEmpty());
  const QColor panel = view->palette().color(QPalette::Window);
  EXPECT_EQ(QColor(image.pixel(text.right() + 5, 10)), panel);
  EXPECT_EQ(QColor(image.pixel(5, 5)), panel);

  // A shorter line leaves nothing of the longer one behind.
  window.updatestatus(0, "H");
  image = view->grab().toImage();
  const QRect shorter = rowpixels::Extent(image, lineArea, Dark);
  EXPECT_EQ(shorter.left(), text.left());
  EXPECT_LT(shorter.right(), text.left() + 12);
}

}  // namespace
