// The list's lock and its observer: changes from one thread while another reads and selects.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/PictureList.h"
#include "tests/app/picture_list_rows.h"

namespace {

// Notes what the list reports, and whether the list's lock was held while it did.
class Recorder : public PictureListObserver {
 public:
  explicit Recorder(PictureList& list) : list_(list) {}

  void LayoutChanged() override {
    ++layouts;
    NoteLock();
  }
  void RowsChanged(int index) override {
    rows.push_back(index);
    NoteLock();
  }

  int layouts = 0;
  std::vector<int> rows;
  bool unlocked_call = false;

 private:
  void NoteLock() {
    std::thread probe([this] {
      if (list_.Mutex().try_lock()) {
        unlocked_call = true;
        list_.Mutex().unlock();
      }
    });
    probe.join();
  }

  PictureList& list_;
};

TEST(PictureListObserver, HearsEveryChangeUnderTheLock) {
  PictureList list;
  Recorder recorder(list);
  list.SetObserver(&recorder);
  list.add_item(rows::Make(1, 0x20));
  list.add_item(rows::Make(2));
  list.sort_list();
  EXPECT_EQ(recorder.layouts, 3);
  list.update_item(list.ItemAt(1));
  list.Select(0, true);
  EXPECT_EQ(recorder.rows, (std::vector<int>{1, 0}));
  list.SelectAll();
  list.remove_item(list.ItemAt(0));
  list.clear_list();
  EXPECT_EQ(recorder.layouts, 5);
  EXPECT_EQ(recorder.rows.back(), -1);
  EXPECT_FALSE(recorder.unlocked_call);
  list.SetObserver(nullptr);
}

TEST(PictureListObserver, SilentWhenNothingChanges) {
  PictureList list;
  Recorder recorder(list);
  list.SetObserver(&recorder);
  list.clear_list();
  list.SelectAll();
  list.DeselectAll();
  list.update_item(nullptr);
  EXPECT_EQ(recorder.layouts, 0);
  EXPECT_TRUE(recorder.rows.empty());
  list.SetObserver(nullptr);
}

// The invariants a painter relies on while it holds the lock.
void ExpectConsistent(const PictureList& list) {
  const int count = list.CountItems();
  for (int index = 0; index < count; ++index) {
    const pic_Item* row = list.ItemAt(index);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(list.ItemTop(index + 1) - list.ItemTop(index), row->height);
    ASSERT_EQ(list.IndexAt(list.ItemTop(index)), index);
  }
  ASSERT_EQ(list.TotalHeight(), list.ItemTop(count));
  for (int n = 0; list.CurrentSelection(n) >= 0; ++n) {
    ASSERT_TRUE(list.IsItemSelected(list.CurrentSelection(n)));
  }
}

TEST(PictureListLocking, ReadersSeeWholeChangesOnly) {
  PictureList list;
  std::atomic<bool> done{false};
  std::thread camera([&] {
    for (uint32_t picture = 0; picture < 400; ++picture) {
      kit::Bitmap* thumbnail = picture % 3 ? rows::Pattern(16, 12, picture) : nullptr;
      list.add_item(rows::Make(picture * 7 % 101, picture % 2 ? 0x20 : 0, thumbnail));
      if (picture % 50 == 49) {
        list.sort_list();
        list.SelectNew();
        list.remove_item(list.ItemAt(0));
      }
    }
    done = true;
  });

  int rounds = 0;
  while (!done) {
    {
      std::lock_guard<std::recursive_mutex> guard(list.Mutex());
      const int before = list.CountItems();
      ExpectConsistent(list);
      if (before > 0) {
        list.ItemAt(before - 1)->Rotate(90);
        list.Invalidate();
        list.update_item(list.ItemAt(before / 2));
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      EXPECT_EQ(list.CountItems(), before) << "a row came in while the lock was held";
    }
    list.Select(rounds % 7, rounds % 2 == 0);
    list.SelectAll();
    ++rounds;
  }
  camera.join();
  list.Lock();
  ExpectConsistent(list);
  EXPECT_EQ(list.CountItems(), 400 - 8);
  list.Unlock();
}

}  // namespace
