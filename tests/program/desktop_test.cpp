// The windows as desktop windows: keys, Escape, where auxiliary windows open, the icon, the
// focus frame and what assistive technology reads.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "app/PictureList.h"
#include "tests/program/ProgramFixture.h"
#include "ui/AuxiliaryWindow.h"
#include "ui/pic_ItemRow.h"
#include "ui/ptv_aboutWin.h"
#include "ui/ptv_camerainfoWin.h"
#include "ui/ptv_picListView.h"
#include "ui/ptv_setattrWin.h"
#include "ui/ptv_statusWin.h"

namespace {

using programtest::CameraWith;
using programtest::Pictures;
using programtest::Program;
using testing::ElementsAre;
using testing::ElementsAreArray;

std::vector<int> Range(int from, int to) {
  std::vector<int> rows;
  for (int row = from; row <= to; row++) rows.push_back(row);
  return rows;
}

QImage IconImage(const QIcon& icon) {
  return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

class Desktop : public Program {
 protected:
  void Focus() {
    Window()->activateWindow();
    Window()->ListView()->setFocus();
    ASSERT_TRUE(WaitFor([&] { return Window()->ListView()->hasFocus(); }));
  }
};

TEST_F(Desktop, KeysMoveAndExtendTheSelection) {
  StartWith(CameraWith(Pictures(12)));
  Window()->resize(600, 1000);
  Pump(50);
  Focus();
  ptv_picListView* view = Window()->ListView();
  // Rows of 320 x 240 pictures stand 127 high: a page holds this many of them.
  const int page = view->viewport()->height() / 127;
  ASSERT_GT(page, 1);
  struct Case {
    int from;  // the row clicked first
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<int> selected;
  };
  const Case cases[] = {
      {5, Qt::Key_Home, Qt::NoModifier, {0}},
      {5, Qt::Key_End, Qt::NoModifier, {11}},
      {5, Qt::Key_Home, Qt::ShiftModifier, Range(0, 5)},
      {5, Qt::Key_End, Qt::ShiftModifier, Range(5, 11)},
      {0, Qt::Key_PageDown, Qt::NoModifier, {page}},
      {0, Qt::Key_PageDown, Qt::ShiftModifier, Range(0, page)},
      {11, Qt::Key_PageUp, Qt::NoModifier, {11 - page}},
      {11, Qt::Key_PageDown, Qt::NoModifier, {11}},
      {0, Qt::Key_PageUp, Qt::NoModifier, {0}},
      {4, Qt::Key_Down, Qt::ShiftModifier, {4, 5}},
  };
  for (const Case& test : cases) {
    view->ScrollToRow(test.from);
    const QRect row = view->RowRect(test.from);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    ASSERT_THAT(Selection(), ElementsAre(test.from));
    QTest::keyClick(view, test.key, test.modifiers);
    EXPECT_THAT(Selection(), ElementsAreArray(test.selected)) << test.key << " from " << test.from;
    // The row moved to is in sight.
    int current = view->CurrentRow();
    EXPECT_TRUE(view->viewport()->rect().intersects(view->RowRect(current)));
  }
}

TEST_F(Desktop, DeleteKeyAsksAsTheDeleteCommandDoes) {
  StartWith(CameraWith(Pictures(2)));
  Focus();
  QTest::keyClick(Window()->ListView(), Qt::Key_Delete);
  Settle();
  EXPECT_TRUE(alerts_.Texts().empty());  // nothing selected: nothing asked
  Window()->List().Select(1);
  alerts_.SetAnswer(1);  // Cancel
  QTest::keyClick(Window()->ListView(), Qt::Key_Delete);
  Settle();
  EXPECT_THAT(alerts_.Texts(), ElementsAre("Do you really want to delete?"));
  EXPECT_EQ(Rows(), 2);
  alerts_.SetAnswer(0);  // Ok
  testing::internal::CaptureStderr();
  QTest::keyClick(Window()->ListView(), Qt::Key_Delete);
  ASSERT_TRUE(WaitFor([&] { return Rows() == 1; }));
  Settle();
  testing::internal::GetCapturedStderr();
}

// Each auxiliary window shows the program's icon, opens beside or centred on the main window
// inside its screen, and goes with Escape.
TEST_F(Desktop, AuxiliaryWindowsOpenBesideTheMainWindowAndCloseWithEscape) {
  StartWith(CameraWith(Pictures(1)));
  const QImage icon = IconImage(ProgramIcon());
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(IconImage(Window()->windowIcon()), icon);
  struct Case {
    const char* name;
    std::function<void()> open;
    std::function<QWidget*()> window;
    bool escape_closes;
  };
  const Case cases[] = {
      {"about", [&] { Trigger("About pictrove\u2026"); }, [] { return AboutWindow(); }, true},
      {"attributes",
       [&] {
         Window()->List().Select(0);
         Trigger("Set attributes\u2026");
       },
       [] { return SetattrWindow(); }, true},
      {"camera information", [&] { Trigger("Camera info\u2026"); },
       [&] { return windows_->CameraInfoWindow(); }, true},
      {"status", [&] { windows_->OpenStatus(100, "Downloading 1 of 1", true); },
       [&] { return windows_->StatusWindow(); }, false},
  };
  const QRect screen = Window()->screen()->availableGeometry();
  // The main window at the left, at the right and filling the screen's middle.
  const QRect mains[] = {QRect(0, 0, 401, 321), QRect(screen.right() - 400, 0, 401, 321),
                         QRect(screen.center() - QPoint(300, 250), QSize(600, 500))};
  for (const QRect& main : mains) {
    Window()->setGeometry(main);
    Pump(20);
    const QRect anchor = Window()->frameGeometry();
    for (const Case& test : cases) {
      test.open();
      ASSERT_TRUE(WaitFor([&] { return test.window() != nullptr && test.window()->isVisible(); }))
          << test.name;
      QPointer<QWidget> window = test.window();
      Pump(50);  // the window system places it after showing it
      const QRect frame = window->frameGeometry();
      EXPECT_TRUE(screen.contains(frame)) << test.name;
      EXPECT_TRUE(!frame.intersects(anchor) ||
                  (frame.center() - anchor.center()).manhattanLength() <= 2)
          << test.name << " " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
          << frame.height() << " beside " << anchor.x() << "," << anchor.y() << " "
          << anchor.width() << "x" << anchor.height();
      EXPECT_EQ(IconImage(window->windowIcon()), icon) << test.name;
      QTest::keyClick(window, Qt::Key_Escape);
      if (!test.escape_closes) window->close();
      ASSERT_TRUE(WaitFor([&] { return window.isNull(); })) << test.name;
      Settle();
    }
  }
}

TEST_F(Desktop, TheListFramesTheCurrentRowWhenItHasTheFocus) {
  StartWith(CameraWith(Pictures(3)));
  ptv_picListView* view = Window()->ListView();
  Window()->List().Select(1);
  Focus();
  const QImage focused = view->viewport()->grab().toImage();
  Window()->centralWidget()->findChild<QWidget*>("downbut")->setFocus();
  ASSERT_TRUE(WaitFor([&] { return !view->hasFocus(); }));
  const QImage plain = view->viewport()->grab().toImage();
  ASSERT_EQ(focused.size(), plain.size());
  // Only pixels near the current row's edge change, and some of them do.
  const QRect row = view->RowRect(1);
  const QRect inner = row.adjusted(3, 3, -3, -3);
  int changed = 0;
  for (int y = 0; y < plain.height(); y++)
    for (int x = 0; x < plain.width(); x++) {
      if (focused.pixel(x, y) == plain.pixel(x, y)) continue;
      changed++;
      EXPECT_TRUE(row.contains(x, y) && !inner.contains(x, y)) << x << "," << y;
    }
  EXPECT_GT(changed, row.height());  // a dotted line round the row
}

TEST_F(Desktop, AssistiveTechnologyReadsTheRows) {
  StartWith(CameraWith(Pictures(3)));
  Window()->List().Select(2);
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Window()->ListView());
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::List);
  EXPECT_TRUE(list->state().multiSelectable);
  ASSERT_EQ(list->childCount(), 3);
  for (int index = 0; index < 3; index++) {
    QAccessibleInterface* row = list->child(index);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->role(), QAccessible::ListItem);
    EXPECT_EQ(list->indexOfChild(row), index);
    EXPECT_EQ(row->parent(), list);
    EXPECT_EQ(row->state().selected, index == 2);
    QString name = row->text(QAccessible::Name);
    for (const QString& line : RowText(*Row(index))) {
      if (!line.isEmpty()) {
        EXPECT_TRUE(name.contains(line)) << name.toStdString();
      }
    }
    EXPECT_TRUE(name.contains(QString::fromUtf8(Row(index)->GetName())));
  }
  // A row keeps its identity when rows before it go.
  QAccessibleInterface* last = list->child(2);
  {
    std::lock_guard<std::recursive_mutex> guard(Window()->List().Mutex());
    Window()->List().remove_item(Row(0));
  }
  EXPECT_EQ(list->indexOfChild(last), 1);
  EXPECT_EQ(list->childCount(), 2);
}

}  // namespace
