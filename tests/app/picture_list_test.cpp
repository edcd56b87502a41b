// Content, order, ownership and selection of the picture list.
#include <gtest/gtest.h>

#include <vector>

#include "app/PictureList.h"
#include "tests/app/picture_list_rows.h"
#include "tests/app/picture_list_watch.h"

namespace {

std::vector<uint32_t> Dates(const PictureList& list) {
  std::vector<uint32_t> dates;
  for (int index = 0; index < list.CountItems(); ++index) dates.push_back(list.ItemAt(index)->date);
  return dates;
}

std::vector<int> Selection(const PictureList& list) {
  std::vector<int> selected;
  for (int n = 0; list.CurrentSelection(n) >= 0; ++n) selected.push_back(list.CurrentSelection(n));
  return selected;
}

// Four rows; the new ones (attribute bit 0x20) at indices 0 and 2.
void FillFour(PictureList& list) {
  list.add_item(rows::Make(10, 0x20));
  list.add_item(rows::Make(20, 0x00));
  list.add_item(rows::Make(30, 0x21));
  list.add_item(rows::Make(40, 0x01));
}

TEST(PictureListContent, AddKeepsOrderUntilSorted) {
  PictureList list;
  list.add_item(rows::Make(100));
  list.add_item(rows::Make(300));
  list.add_item(rows::Make(200));
  EXPECT_EQ(Dates(list), (std::vector<uint32_t>{100, 300, 200}));
  list.sort_list();
  EXPECT_EQ(Dates(list), (std::vector<uint32_t>{300, 200, 100}));
}

TEST(PictureListContent, SelectionFollowsRowsWhenSorted) {
  PictureList list;
  list.add_item(rows::Make(100));
  list.add_item(rows::Make(300));
  list.Select(0);
  list.sort_list();
  EXPECT_EQ(Selection(list), std::vector<int>{1});
  EXPECT_EQ(list.ItemAt(1)->date, 100u);
}

TEST(PictureListContent, ClearDestroysRowsAndThumbnails) {
  PictureList list;
  std::vector<const void*> objects;
  for (uint32_t date = 1; date <= 3; ++date) {
    kit::Bitmap* thumbnail = rows::Pattern(4, 3);
    pic_Item* row = rows::Make(date, 0, thumbnail);
    objects.push_back(row);
    objects.push_back(thumbnail);
    list.add_item(row);
  }
  for (const void* object : objects) watch::Watch(object);
  list.clear_list();
  EXPECT_EQ(list.CountItems(), 0);
  EXPECT_EQ(list.TotalHeight(), 0);
  for (const void* object : objects) EXPECT_TRUE(watch::Freed(object));
}

TEST(PictureListContent, ClearOfEmptyListDoesNothing) {
  PictureList list;
  list.clear_list();
  EXPECT_EQ(list.CountItems(), 0);
  EXPECT_EQ(list.CurrentSelection(0), -1);
}

TEST(PictureListContent, RemoveDestroysOnlyThatRow) {
  PictureList list;
  pic_Item* kept = rows::Make(1);
  pic_Item* removed = rows::Make(2, 0, rows::Pattern(2, 2));
  list.add_item(kept);
  list.add_item(removed);
  watch::Watch(kept);
  watch::Watch(removed);
  watch::Watch(removed->Thumbnail());
  const void* thumbnail = removed->Thumbnail();
  list.remove_item(removed);
  EXPECT_TRUE(watch::Freed(removed));
  EXPECT_TRUE(watch::Freed(thumbnail));
  EXPECT_FALSE(watch::Freed(kept));
  EXPECT_EQ(list.CountItems(), 1);
  EXPECT_EQ(list.ItemAt(0), kept);
  list.clear_list();
}

TEST(PictureListContent, ForeignRowsAndIndicesOutOfRange) {
  PictureList list;
  list.add_item(rows::Make(1));
  pic_Item foreign;
  list.remove_item(&foreign);
  list.remove_item(nullptr);
  list.add_item(nullptr);
  EXPECT_EQ(list.CountItems(), 1);
  EXPECT_EQ(list.ItemAt(-1), nullptr);
  EXPECT_EQ(list.ItemAt(1), nullptr);
  EXPECT_EQ(list.IndexOf(&foreign), -1);
  EXPECT_FALSE(list.IsItemSelected(5));
  EXPECT_EQ(list.CurrentSelection(-1), -1);
}

TEST(PictureListSelection, SelectAllOnEmptyListSelectsNothing) {
  PictureList list;
  list.SelectAll();
  EXPECT_EQ(list.CurrentSelection(0), -1);
}

TEST(PictureListSelection, SelectAllExtendsToEveryRow) {
  PictureList list;
  FillFour(list);
  list.Select(2);
  list.SelectAll();
  EXPECT_EQ(Selection(list), (std::vector<int>{0, 1, 2, 3}));
}

TEST(PictureListSelection, SelectNewReplacesTheSelection) {
  PictureList list;
  FillFour(list);
  list.Select(1);
  list.Select(3, true);
  list.SelectNew();
  EXPECT_EQ(Selection(list), (std::vector<int>{0, 2}));
}

TEST(PictureListSelection, SelectNewWithoutNewPicturesSelectsNothing) {
  PictureList list;
  list.add_item(rows::Make(1, 0x01));
  list.add_item(rows::Make(2, 0x00));
  list.SelectAll();
  list.SelectNew();
  EXPECT_EQ(list.CurrentSelection(0), -1);
}

TEST(PictureListSelection, RemovingASelectedRowShiftsTheOthersUp) {
  PictureList list;
  FillFour(list);
  list.Select(1);
  list.Select(2, true);
  list.Select(3, true);
  pic_Item* third = list.ItemAt(2);
  list.remove_item(list.ItemAt(1));
  EXPECT_EQ(Selection(list), (std::vector<int>{1, 2}));
  EXPECT_EQ(list.ItemAt(list.CurrentSelection(0)), third);
}

TEST(PictureListSelection, PlainReplacesExtendAddsRangesClamp) {
  PictureList list;
  FillFour(list);
  list.Select(0);
  list.Select(2, true);
  EXPECT_EQ(Selection(list), (std::vector<int>{0, 2}));
  list.Select(-1);
  EXPECT_EQ(Selection(list), (std::vector<int>{0, 2}));
  list.Select(3);
  EXPECT_EQ(Selection(list), std::vector<int>{3});
  list.Select(2, 0, false);
  EXPECT_EQ(Selection(list), (std::vector<int>{0, 1, 2}));
  list.Select(3, 9, true);
  EXPECT_EQ(Selection(list), (std::vector<int>{0, 1, 2, 3}));
  list.Deselect(1);
  EXPECT_EQ(Selection(list), (std::vector<int>{0, 2, 3}));
  list.DeselectAll();
  EXPECT_EQ(list.CurrentSelection(0), -1);
}

}  // namespace
