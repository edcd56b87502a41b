// The status window as the application drives it: opened, reset, hidden, closed by the user,
// and driven from other threads.
#include <gtest/gtest.h>
#include <QPointer>

#include <cstring>
#include <thread>

#include "tests/ui/window_look.h"
#include "ui/QtAppWindows.h"
#include "ui/ptv_statusWin.h"

namespace {

using uitest::Settle;

class StatusLifecycle : public testing::Test {
 protected:
  ptv_statview* View() { return windows_.StatusWindow()->View(); }

  uitest::PinnedLook look_;
  QtAppWindows windows_;
};

TEST_F(StatusLifecycle, OpenCreatesShowsAndLaterReusesTheWindow) {
  windows_.OpenStatus(1000, "Downloading 1 of 2", true);
  Settle();
  ptv_statusWin* first = windows_.StatusWindow();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(View()->Maximum(), 1000u);
  EXPECT_EQ(View()->Line(), QStringLiteral("Downloading 1 of 2"));

  windows_.UpdateStatus(250, "Downloading 2 of 2");
  windows_.CloseStatus();
  Settle();
  EXPECT_EQ(windows_.StatusWindow(), first);
  EXPECT_FALSE(first->isVisible());
  EXPECT_EQ(View()->Value(), 250u);

  // The next operation resets the same window; its line waits for the next text.
  windows_.OpenStatus(400, "Uploading", false);
  Settle();
  EXPECT_EQ(windows_.StatusWindow(), first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(View()->Value(), 0u);
  EXPECT_EQ(View()->Maximum(), 400u);
  EXPECT_EQ(View()->Line(), QStringLiteral("Downloading 2 of 2"));
}

TEST_F(StatusLifecycle, WithoutAWindowUpdatesAndClosesCreateNone) {
  windows_.UpdateStatus(10, "nobody");
  windows_.CloseStatus();
  Settle();
  EXPECT_EQ(windows_.StatusWindow(), nullptr);
}

TEST_F(StatusLifecycle, ClosedByTheUserItGoesAndTheNextOpenBuildsAFreshOne) {
  windows_.OpenStatus(1000, "Downloading 1 of 3", true);
  windows_.UpdateStatus(300, nullptr);
  Settle();
  QPointer<ptv_statusWin> closed = windows_.StatusWindow();
  ASSERT_TRUE(closed);
  closed->close();
  EXPECT_EQ(windows_.StatusWindow(), nullptr);

  // The rest of the operation finds no window.
  windows_.UpdateStatus(300, "Downloading 2 of 3");
  windows_.CloseStatus();
  Settle();
  EXPECT_TRUE(closed.isNull());
  EXPECT_EQ(windows_.StatusWindow(), nullptr);

  windows_.OpenStatus(2000, "Downloading 1 of 5", true);
  Settle();
  ASSERT_NE(windows_.StatusWindow(), nullptr);
  EXPECT_TRUE(windows_.StatusWindow()->isVisible());
  EXPECT_EQ(View()->Value(), 0u);
  EXPECT_EQ(View()->Maximum(), 2000u);
  EXPECT_EQ(View()->Line(), QStringLiteral("Downloading 1 of 5"));
}

TEST_F(StatusLifecycle, CallsFromAnotherThreadAreAppliedOnTheGuiThreadInOrder) {
  // The caller's buffer is its own again as soon as a call returns.
  char line[32] = "Downloading 1 of 2";
  std::thread worker([&] {
    windows_.OpenStatus(1000, line, true);
    std::strcpy(line, "overwritten");
    for (int i = 0; i < 4; ++i) windows_.UpdateStatus(250, nullptr);
  });
  worker.join();
  // Nothing happens until the GUI thread gets to it.
  EXPECT_EQ(windows_.StatusWindow(), nullptr);

  Settle();
  ptv_statusWin* window = windows_.StatusWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->thread(), QCoreApplication::instance()->thread());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(View()->Value(), 1000u);
  EXPECT_EQ(View()->Line(), QStringLiteral("Downloading 1 of 2"));

  std::strcpy(line, "Downloading 2 of 2");
  std::thread updater([&] {
    windows_.UpdateStatus(0, line);
    std::strcpy(line, "overwritten");
    windows_.CloseStatus();
  });
  updater.join();
  EXPECT_TRUE(window->isVisible());
  Settle();
  EXPECT_EQ(View()->Line(), QStringLiteral("Downloading 2 of 2"));
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
