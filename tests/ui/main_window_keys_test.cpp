// The main window as it opens: its size, and its menus reached from the keyboard.
#include <gtest/gtest.h>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "tests/ui/window_look.h"
#include "ui/ptv_mainWin.h"
#include "ui/ptv_picListView.h"

namespace {

// The content frame (100, 100) to (500, 400) holds the menu bar: the window opens at its
// smallest size. F10 opens the first menu.
TEST(MainWindowKeys, OpensAtItsSmallestSizeAndF10OpensTheFileMenu) {
  uitest::PinnedLook look;
  ptv_mainWin window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.geometry(), QRect(100, 100, 401, 301));
  EXPECT_EQ(window.minimumSize(), QSize(401, 301));
  window.activateWindow();
  window.ListView()->setFocus();
  ASSERT_TRUE(uitest::WaitUntil([&] { return window.ListView()->hasFocus(); }));
  QMenu* file = window.menuBar()->actions()[0]->menu();
  EXPECT_FALSE(file->isVisible());
  QTest::keyClick(window.ListView(), Qt::Key_F10);
  ASSERT_TRUE(uitest::WaitUntil([&] { return file->isVisible(); }));
  file->hide();
}

}  // namespace
