// One entry of the roster's mirror of the raw driver's directory tree.
#pragma once

#include <cstdint>
#include <string>

class WatchItem {
 public:
  WatchItem(int64_t node, const char* name, void* data);
  ~WatchItem() = default;

  WatchItem(const WatchItem&) = delete;
  WatchItem& operator=(const WatchItem&) = delete;

  // Puts the child at the head of the child list: children stand newest first.
  void Add(WatchItem* child);
  // Unlinks the child when it is one of ours; returns it either way.
  WatchItem* Remove(WatchItem* child);
  // Depth first, pre-order, this item included.
  WatchItem* Find(int64_t node);
  // Direct children only.
  WatchItem* Find(const char* name);
  // The names from the root down, joined by "/".
  std::string LongName() const;

  int64_t node;
  std::string name;
  void* data;
  WatchItem* first_child = nullptr;
  WatchItem* next_sibling = nullptr;
  WatchItem* parent = nullptr;
};
