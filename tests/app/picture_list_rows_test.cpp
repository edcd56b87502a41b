// Row heights, the layout the list derives from them, and quarter turns of the thumbnail.
#include <gtest/gtest.h>

#include "app/PictureList.h"
#include "tests/app/picture_list_rows.h"

namespace {

bool SamePixels(const kit::Bitmap& a, const kit::Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.PixelAt(x, y) != b.PixelAt(x, y)) return false;
    }
  }
  return true;
}

TEST(PictureRowHeight, WithoutThumbnailIs127) {
  pic_Item row;
  row.Update();
  EXPECT_EQ(row.height, 127);
}

TEST(PictureRowHeight, ThumbnailBottomPlusEight) {
  pic_Item landscape;
  landscape.set_Bitmap(rows::Pattern(160, 120));
  landscape.Update();
  EXPECT_EQ(landscape.height, 127);
  pic_Item tall;
  tall.set_Bitmap(rows::Pattern(120, 160));
  tall.Update();
  EXPECT_EQ(tall.height, 167);
}

TEST(PictureRowRotate, QuarterTurnSwapsSidesAndHeight) {
  pic_Item row;
  row.set_Bitmap(rows::Pattern(160, 120));
  row.Rotate(90);
  ASSERT_NE(row.Thumbnail(), nullptr);
  EXPECT_EQ(row.Thumbnail()->Width(), 120);
  EXPECT_EQ(row.Thumbnail()->Height(), 160);
  EXPECT_EQ(row.height, 167);
  row.Rotate(270);
  EXPECT_EQ(row.height, 127);
}

TEST(PictureRowRotate, CornersGoWhereTheTurnTakesThem) {
  // a b c / d e f  turns clockwise into  d a / e b / f c, counter-clockwise into  c f / b e / a d.
  const std::unique_ptr<kit::Bitmap> source(rows::Pattern(3, 2));
  const uint32_t a = source->PixelAt(0, 0), c = source->PixelAt(2, 0), d = source->PixelAt(0, 1),
                 f = source->PixelAt(2, 1);
  pic_Item clockwise;
  clockwise.set_Bitmap(rows::Pattern(3, 2));
  clockwise.Rotate(90);
  const kit::Bitmap& right = *clockwise.Thumbnail();
  ASSERT_EQ(right.Width(), 2);
  ASSERT_EQ(right.Height(), 3);
  EXPECT_EQ(right.PixelAt(1, 0), a);
  EXPECT_EQ(right.PixelAt(0, 0), d);
  EXPECT_EQ(right.PixelAt(1, 2), c);
  EXPECT_EQ(right.PixelAt(0, 2), f);
  pic_Item counter;
  counter.set_Bitmap(rows::Pattern(3, 2));
  counter.Rotate(270);
  const kit::Bitmap& left = *counter.Thumbnail();
  EXPECT_EQ(left.PixelAt(0, 2), a);
  EXPECT_EQ(left.PixelAt(1, 2), d);
  EXPECT_EQ(left.PixelAt(0, 0), c);
  EXPECT_EQ(left.PixelAt(1, 0), f);
}

TEST(PictureRowRotate, TurnsThereAndBackGiveTheSamePixels) {
  const std::unique_ptr<kit::Bitmap> original(rows::Pattern(160, 120, 3));
  pic_Item row;
  row.set_Bitmap(rows::Pattern(160, 120, 3));
  row.Rotate(90);
  EXPECT_FALSE(SamePixels(*row.Thumbnail(), *original));
  row.Rotate(270);
  EXPECT_TRUE(SamePixels(*row.Thumbnail(), *original));
  for (int turn = 0; turn < 4; ++turn) row.Rotate(90);
  EXPECT_TRUE(SamePixels(*row.Thumbnail(), *original));
  for (int turn = 0; turn < 4; ++turn) row.Rotate(270);
  EXPECT_TRUE(SamePixels(*row.Thumbnail(), *original));
}

TEST(PictureRowRotate, LeavesRowWithoutThumbnailAlone) {
  pic_Item row;
  row.height = 42;
  row.Rotate(90);
  EXPECT_EQ(row.Thumbnail(), nullptr);
  EXPECT_EQ(row.height, 42);
}

TEST(PictureRowRotate, IgnoresOtherAngles) {
  pic_Item row;
  row.set_Bitmap(rows::Pattern(3, 2));
  kit::Bitmap* before = row.Thumbnail();
  row.Update();
  row.Rotate(180);
  row.Rotate(-90);
  EXPECT_EQ(row.Thumbnail(), before);
  EXPECT_EQ(row.height, 9);
}

TEST(PictureListLayout, RowsStackByTheirHeights) {
  PictureList list;
  list.add_item(rows::Make(1, 0, rows::Pattern(160, 120)));
  list.add_item(rows::Make(2));
  list.add_item(rows::Make(3, 0, rows::Pattern(120, 160)));
  EXPECT_EQ(list.ItemTop(0), 0);
  EXPECT_EQ(list.ItemTop(1), 127);
  EXPECT_EQ(list.ItemTop(2), 254);
  EXPECT_EQ(list.TotalHeight(), 254 + 167);
  EXPECT_EQ(list.IndexAt(-1), -1);
  EXPECT_EQ(list.IndexAt(0), 0);
  EXPECT_EQ(list.IndexAt(126), 0);
  EXPECT_EQ(list.IndexAt(127), 1);
  EXPECT_EQ(list.IndexAt(254 + 166), 2);
  EXPECT_EQ(list.IndexAt(254 + 167), -1);
}

TEST(PictureListLayout, AddAsksTheRowForItsHeight) {
  PictureList list;
  pic_Item* row = rows::Make(1);
  row->height = 5;
  list.add_item(row);
  EXPECT_EQ(row->height, 127);
}

TEST(PictureListLayout, InvalidateTakesUpNewHeights) {
  PictureList list;
  list.add_item(rows::Make(1, 0, rows::Pattern(160, 120)));
  list.add_item(rows::Make(2));
  list.ItemAt(0)->Rotate(90);
  list.Invalidate();
  EXPECT_EQ(list.ItemTop(1), 167);
  EXPECT_EQ(list.TotalHeight(), 167 + 127);
}

TEST(PictureListLayout, SortAndRemoveLayOutAgain) {
  PictureList list;
  list.add_item(rows::Make(1, 0, rows::Pattern(120, 160)));
  list.add_item(rows::Make(2));
  list.sort_list();
  EXPECT_EQ(list.ItemTop(1), 127);
  list.remove_item(list.ItemAt(0));
  EXPECT_EQ(list.TotalHeight(), 167);
}

}  // namespace
