// The About window: its frame, and at most one window, made afresh after closing.
#include <gtest/gtest.h>
#include <QApplication>
#include <QPointer>

#include "tests/ui/window_look.h"
#include "ui/ptv_aboutWin.h"

namespace {

using uitest::Settle;

int OpenWindows() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets())
    count += dynamic_cast<ptv_aboutWin*>(widget) != nullptr ? 1 : 0;
  return count;
}

class AboutOpening : public testing::Test {
 protected:
  void TearDown() override {
    if (AboutWindow() != nullptr) AboutWindow()->close();
    Settle();
  }

  uitest::PinnedLook look_;
};

TEST(AboutWindowLayout, HasItsTitleFrameAndView) {
  ptv_aboutWin window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("About pictrove"));
  EXPECT_EQ(window.geometry(), QRect(100, 100, 401, 111));
  EXPECT_EQ(window.minimumSize(), QSize(401, 111));
  EXPECT_EQ(window.maximumSize(), QSize(401, 111));
  EXPECT_TRUE(window.testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_FALSE(window.isVisible());
  ASSERT_NE(window.View(), nullptr);
  EXPECT_EQ(window.View()->parentWidget(), &window);
  EXPECT_EQ(window.View()->objectName(), QStringLiteral("aboutview"));
  EXPECT_EQ(window.View()->geometry(), QRect(0, 0, 401, 111));
  EXPECT_FALSE(window.View()->Picture().isNull());
}

TEST_F(AboutOpening, AskingTwiceGivesOneWindowInFront) {
  AboutRequested();
  QPointer<ptv_aboutWin> first = AboutWindow();
  ASSERT_FALSE(first.isNull());
  EXPECT_TRUE(first->isVisible());
  first->hide();
  AboutRequested();
  Settle();
  EXPECT_EQ(AboutWindow(), first.data());
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(OpenWindows(), 1);
}

TEST_F(AboutOpening, ClosedAndAskedAgainGivesAFreshWindow) {
  AboutRequested();
  QPointer<ptv_aboutWin> first = AboutWindow();
  ASSERT_FALSE(first.isNull());
  first->close();
  Settle();
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(AboutWindow(), nullptr);
  EXPECT_EQ(OpenWindows(), 0);

  AboutRequested();
  ASSERT_NE(AboutWindow(), nullptr);
  EXPECT_TRUE(AboutWindow()->isVisible());
  EXPECT_EQ(OpenWindows(), 1);
}

}  // namespace
