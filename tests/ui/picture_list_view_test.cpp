// The picture list on screen: rows painted from the model, selection by mouse and keys, and
// redraws that other threads ask for.
#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>

#include <memory>
#include <thread>
#include <vector>

#include "tests/app/picture_list_rows.h"
#include "tests/ui/picture_row_support.h"
#include "ui/ptv_picListView.h"

namespace {

using rowpixels::RedExtent;

constexpr QRgb kGreen = 0xFF00C000;

// A thumbnail of one colour with its own colour in the top-left corner.
kit::Bitmap* Solid(int width, int height, QRgb corner) {
  auto* bitmap = new kit::Bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bitmap->SetPixel(x, y, kGreen);
  }
  bitmap->SetPixel(0, 0, corner);
  return bitmap;
}

std::vector<int> Selection(const PictureList& list) {
  std::vector<int> selected;
  for (int n = 0; list.CurrentSelection(n) >= 0; ++n) selected.push_back(list.CurrentSelection(n));
  return selected;
}

class PictureListView : public testing::Test {
 protected:
  // Three rows: a selected one, one without a thumbnail, one turned a quarter clockwise.
  void SetUp() override {
    style_.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    ASSERT_NE(style_, nullptr);
    list_.add_item(rows::Make(300, 0x20, Solid(160, 120, 0xFF0000FF)));
    list_.add_item(rows::Make(200, 0x01));
    pic_Item* turned = rows::Make(100, 0, Solid(160, 120, 0xFF0000FF));
    turned->Rotate(90);
    list_.add_item(turned);
    list_.Select(0);
    view_ = std::make_unique<ptv_picListView>(list_);
    view_->setStyle(style_.get());
    view_->setFont(rowpixels::RowFont());
    view_->resize(400, 480);
    view_->show();
    QApplication::processEvents();
  }

  void TearDown() override { view_.reset(); }

  QImage Grab() { return view_->viewport()->grab().toImage(); }

  void Click(int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(200, y),
                      view_->mapToGlobal(QPointF(200, y)), Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(view_->viewport(), &event);
  }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(view_.get(), &event);
  }

  std::unique_ptr<QStyle> style_;
  PictureList list_;
  std::unique_ptr<ptv_picListView> view_;
};

TEST_F(PictureListView, IsNamedAndUsesARealFont) {
  EXPECT_EQ(view_->objectName(), QStringLiteral("ptv_listview"));
  rowpixels::ExpectRealFont(view_->viewport()->font());
}

TEST_F(PictureListView, PaintsTheThreeRows) {
  const QImage image = Grab();
  const QRgb base = view_->palette().color(QPalette::Base).rgb();
  // Row 0 (0 to 126): selected, thumbnail at (4, 4).
  EXPECT_EQ(image.pixel(1, 1), qRgb(238, 238, 255));
  EXPECT_EQ(image.pixel(4, 4), 0xFF0000FFu);
  EXPECT_EQ(image.pixel(5, 5), kGreen);
  EXPECT_EQ(image.pixel(4 + 160, 4), qRgb(238, 238, 255));
  // Row 1 (127 to 253): unselected, no thumbnail.
  EXPECT_EQ(image.pixel(1, 128), base);
  EXPECT_EQ(image.pixel(10, 140), base);
  EXPECT_FALSE(RedExtent(image, QRect(50, 127, 100, 127)).isEmpty());
  // Row 2 (254 to 420): the top-left corner went to the top-right.
  EXPECT_EQ(image.pixel(4 + 119, 254 + 4), 0xFF0000FFu);
  EXPECT_EQ(image.pixel(4, 254 + 4), kGreen);
  EXPECT_EQ(image.pixel(4 + 119, 254 + 4 + 159), kGreen);
  EXPECT_EQ(image.pixel(4 + 120, 254 + 4), base);
  EXPECT_EQ(image.pixel(4, 254 + 4 + 160), base);
  // Text in every row, in one column.
  for (int top : {0, 127, 254}) {
    const QRect text = RedExtent(image, QRect(160, top, 200, 100));
    ASSERT_FALSE(text.isEmpty()) << top;
    EXPECT_GE(text.left(), 169) << top;
    EXPECT_LE(text.left(), 172) << top;
  }
  // Below the rows only the background.
  EXPECT_EQ(image.pixel(200, 421), base);
}

TEST_F(PictureListView, ClicksSelectLikeAMultipleSelectionList) {
  Click(130);
  EXPECT_EQ(Selection(list_), std::vector<int>{1});
  Click(300, Qt::ControlModifier);
  EXPECT_EQ(Selection(list_), (std::vector<int>{1, 2}));
  Click(130, Qt::ControlModifier);
  EXPECT_EQ(Selection(list_), std::vector<int>{2});
  Click(10);
  Click(300, Qt::ShiftModifier);
  EXPECT_EQ(Selection(list_), (std::vector<int>{0, 1, 2}));
  Click(450);
  EXPECT_TRUE(Selection(list_).empty());
}

TEST_F(PictureListView, ArrowsMoveTheSelection) {
  Key(Qt::Key_Down);
  EXPECT_EQ(Selection(list_), std::vector<int>{1});
  Key(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Selection(list_), (std::vector<int>{1, 2}));
  Key(Qt::Key_Down);
  EXPECT_EQ(Selection(list_), std::vector<int>{2});
  Key(Qt::Key_Up);
  Key(Qt::Key_Up);
  Key(Qt::Key_Up);
  EXPECT_EQ(Selection(list_), std::vector<int>{0});
}

TEST_F(PictureListView, SelectionRedrawsAfterTheEventLoop) {
  list_.SelectAll();
  QApplication::processEvents();
  EXPECT_EQ(Grab().pixel(1, 128), qRgb(238, 238, 255));
  list_.DeselectAll();
  QApplication::processEvents();
  EXPECT_EQ(Grab().pixel(1, 1), view_->palette().color(QPalette::Base).rgb());
}

TEST_F(PictureListView, ChangesFromAnotherThreadAreQueued) {
  const int page = view_->viewport()->height();
  EXPECT_EQ(view_->verticalScrollBar()->maximum(), std::max(0, 421 - page));
  std::thread camera([this] {
    for (int picture = 0; picture < 5; ++picture) list_.add_item(rows::Make(picture));
    list_.sort_list();
  });
  camera.join();
  // Nothing happened on this thread yet: the view only queued its relayout.
  EXPECT_EQ(view_->verticalScrollBar()->maximum(), std::max(0, 421 - page));
  QApplication::processEvents();
  EXPECT_EQ(view_->verticalScrollBar()->maximum(), 421 + 5 * 127 - page);
}

TEST_F(PictureListView, ScrollsToARowAndPaintsFromThere) {
  for (int picture = 0; picture < 20; ++picture) list_.add_item(rows::Make(picture));
  QApplication::processEvents();
  const int last = list_.CountItems() - 1;
  list_.Select(last);
  view_->ScrollToRow(last);
  QApplication::processEvents();
  const int page = view_->viewport()->height();
  EXPECT_EQ(view_->verticalScrollBar()->value(), list_.TotalHeight() - page);
  EXPECT_EQ(view_->verticalScrollBar()->singleStep(), 127);
  const QImage image = Grab();
  EXPECT_EQ(image.pixel(1, page - 1), qRgb(238, 238, 255));
  EXPECT_EQ(image.pixel(1, page - 128), view_->palette().color(QPalette::Base).rgb());
  view_->ScrollToRow(0);
  EXPECT_EQ(view_->verticalScrollBar()->value(), 0);
}

TEST_F(PictureListView, ForgetsTheListWhenDestroyed) {
  view_.reset();
  list_.add_item(rows::Make(1));
  list_.SelectAll();
  QApplication::processEvents();
  EXPECT_EQ(list_.CountItems(), 4);
}

}  // namespace
