#include "app/PictureList.h"

#include <algorithm>

using Guard = std::lock_guard<std::recursive_mutex>;

void PictureList::SetObserver(PictureListObserver* observer) {
  Guard guard(mutex_);
  observer_ = observer;
}

void PictureList::add_item(pic_Item* row) {
  if (!row) return;
  Guard guard(mutex_);
  row->Update();
  rows_.push_back(Row{std::unique_ptr<pic_Item>(row)});
  tops_.push_back(tops_.back() + row->height);
  NotifyLayout();
}

void PictureList::clear_list() {
  Guard guard(mutex_);
  if (rows_.empty()) return;
  rows_.clear();
  Relayout();
  NotifyLayout();
}

void PictureList::sort_list() {
  Guard guard(mutex_);
  // Stable, so that rows of equal date keep the order in which the camera listed them.
  std::stable_sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
    const pic_Item* left = a.item.get();
    const pic_Item* right = b.item.get();
    return pic_compareFunc(&left, &right) < 0;
  });
  Relayout();
  NotifyLayout();
}

void PictureList::remove_item(pic_Item* row) {
  Guard guard(mutex_);
  // A row that is not ours is not destroyed: someone else still owns it.
  const int index = IndexOf(row);
  if (index < 0) return;
  rows_.erase(rows_.begin() + index);
  Relayout();
  NotifyLayout();
}

void PictureList::update_item(pic_Item* row) {
  // The callers hold the lock already; taking it again costs nothing and keeps a caller that
  // forgot it from racing the painter.
  Guard guard(mutex_);
  const int index = IndexOf(row);
  if (index >= 0) NotifyRows(index);
}

void PictureList::SelectAll() {
  Guard guard(mutex_);
  if (!rows_.empty()) Select(0, int(rows_.size()) - 1, true);
}

void PictureList::SelectNew() {
  Guard guard(mutex_);
  DeselectAll();
  for (int index = int(rows_.size()) - 1; index >= 0; --index) {
    if (rows_[index].item->attributes & pic_Item::kNew) Select(index, true);
  }
}

void PictureList::Invalidate() {
  Guard guard(mutex_);
  Relayout();
  NotifyLayout();
}

int PictureList::CountItems() const {
  Guard guard(mutex_);
  return int(rows_.size());
}

pic_Item* PictureList::ItemAt(int index) const {
  Guard guard(mutex_);
  return Valid(index) ? rows_[index].item.get() : nullptr;
}

int PictureList::IndexOf(const pic_Item* row) const {
  Guard guard(mutex_);
  auto found = std::find_if(rows_.begin(), rows_.end(),
                            [row](const Row& candidate) { return candidate.item.get() == row; });
  return found == rows_.end() ? -1 : int(found - rows_.begin());
}

pic_Item* PictureList::ItemWithId(PictureId id) const {
  Guard guard(mutex_);
  for (const Row& row : rows_)
    if (row.item->Id() == id) return row.item.get();
  return nullptr;
}

std::vector<PictureId> PictureList::SelectedIds() const {
  Guard guard(mutex_);
  std::vector<PictureId> ids;
  for (const Row& row : rows_)
    if (row.selected) ids.push_back(row.item->Id());
  return ids;
}

int PictureList::CurrentSelection(int n) const {
  Guard guard(mutex_);
  if (n < 0) return -1;
  for (int index = 0; index < int(rows_.size()); ++index) {
    if (rows_[index].selected && n-- == 0) return index;
  }
  return -1;
}

bool PictureList::IsItemSelected(int index) const {
  Guard guard(mutex_);
  return Valid(index) && rows_[index].selected;
}

void PictureList::Select(int index, bool extend) {
  Guard guard(mutex_);
  if (Valid(index)) Select(index, index, extend);
}

void PictureList::Select(int from, int to, bool extend) {
  Guard guard(mutex_);
  if (from > to) std::swap(from, to);
  from = std::max(from, 0);
  to = std::min(to, int(rows_.size()) - 1);
  if (from > to) return;
  if (!extend) {
    for (Row& row : rows_) row.selected = false;
  }
  for (int index = from; index <= to; ++index) rows_[index].selected = true;
  NotifyRows(!extend || from != to ? -1 : from);
}

void PictureList::Deselect(int index) {
  Guard guard(mutex_);
  if (!Valid(index) || !rows_[index].selected) return;
  rows_[index].selected = false;
  NotifyRows(index);
}

void PictureList::DeselectAll() {
  Guard guard(mutex_);
  bool changed = false;
  for (Row& row : rows_) {
    changed = changed || row.selected;
    row.selected = false;
  }
  if (changed) NotifyRows(-1);
}

int PictureList::ItemTop(int index) const {
  Guard guard(mutex_);
  return tops_[std::clamp(index, 0, int(rows_.size()))];
}

int PictureList::TotalHeight() const {
  Guard guard(mutex_);
  return tops_.back();
}

int PictureList::IndexAt(int y) const {
  Guard guard(mutex_);
  if (y < 0 || y >= tops_.back()) return -1;
  // The last top not above y; rows of height 0 are skipped that way.
  return int(std::upper_bound(tops_.begin(), tops_.end(), y) - tops_.begin()) - 1;
}

void PictureList::Relayout() {
  tops_.assign(1, 0);
  for (const Row& row : rows_) tops_.push_back(tops_.back() + row.item->height);
}

void PictureList::NotifyLayout() {
  if (observer_) observer_->LayoutChanged();
}

void PictureList::NotifyRows(int index) {
  if (observer_) observer_->RowsChanged(index);
}
