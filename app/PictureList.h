// The main window's list of pictures: the rows in list order, their selection and the lock
// that guards both. It is filled from the threads that read the camera while the window
// paints it, so every operation takes the lock itself (re-entrant, so a thread that holds it
// may call them too) and tells an observer what to redraw.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "app/pic_Item.h"

// Told of every change, on the changing thread and under the list's lock: it must return at
// once and take no other lock (queue the redraw for the window's thread).
class PictureListObserver {
 public:
  virtual ~PictureListObserver() = default;
  // Rows came, went, moved or changed height: lay out again and redraw.
  virtual void LayoutChanged() = 0;
  // Rows changed in place (content or selection): the row at index, or any row for -1.
  virtual void RowsChanged(int index) = 0;
};

class PictureList {
 public:
  PictureList() = default;
  PictureList(const PictureList&) = delete;
  PictureList& operator=(const PictureList&) = delete;

  void Lock() { mutex_.lock(); }
  void Unlock() { mutex_.unlock(); }
  std::recursive_mutex& Mutex() { return mutex_; }

  // Set once by the view, and cleared by it before it goes away.
  void SetObserver(PictureListObserver* observer);

  // The maintenance operations of the main window.
  void add_item(pic_Item* row);  // takes ownership; asks the row for its height
  void clear_list();
  void sort_list();  // newest first
  void remove_item(pic_Item* row);
  void update_item(pic_Item* row);
  void SelectAll();
  void SelectNew();

  // Rows changed in place, heights included (a rotation): lay out again and redraw all.
  void Invalidate();

  // List-view queries; out-of-range indices give none, -1 or false.
  int CountItems() const;
  pic_Item* ItemAt(int index) const;
  int IndexOf(const pic_Item* row) const;
  pic_Item* ItemWithId(PictureId id) const;  // none once the row has left the list
  int CurrentSelection(int n = 0) const;     // index of the n-th selected row, ascending
  bool IsItemSelected(int index) const;
  // Without extend the selection is replaced, with it added to.
  void Select(int index, bool extend = false);
  void Select(int from, int to, bool extend = false);
  void Deselect(int index);
  void DeselectAll();
  // The selected rows' identities in list order: what a run over the selection works on.
  std::vector<PictureId> SelectedIds() const;

  // Layout: rows stacked from y = 0 in list order, each as high as its `height`.
  int ItemTop(int index) const;  // the total height for index == CountItems()
  int TotalHeight() const;
  int IndexAt(int y) const;  // the row covering y, or -1

 private:
  struct Row {
    std::unique_ptr<pic_Item> item;
    bool selected = false;
  };

  bool Valid(int index) const { return index >= 0 && index < int(rows_.size()); }
  void Relayout();
  void NotifyLayout();
  void NotifyRows(int index);

  mutable std::recursive_mutex mutex_;
  std::vector<Row> rows_;
  std::vector<int> tops_{0};  // tops_[i] is row i's top; one more entry for the end
  PictureListObserver* observer_ = nullptr;
};
