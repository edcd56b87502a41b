#include "usb/WatchItem.h"

WatchItem::WatchItem(int64_t node, const char* name, void* data)
    : node(node), name(name), data(data) {}

void WatchItem::Add(WatchItem* child) {
  child->parent = this;
  child->next_sibling = first_child;
  first_child = child;
}

WatchItem* WatchItem::Remove(WatchItem* child) {
  if (child->parent != this) return child;
  for (WatchItem** link = &first_child; *link != nullptr; link = &(*link)->next_sibling) {
    if (*link == child) {
      *link = child->next_sibling;
      break;
    }
  }
  child->parent = nullptr;
  child->next_sibling = nullptr;
  return child;
}

WatchItem* WatchItem::Find(int64_t wanted) {
  if (node == wanted) return this;
  for (WatchItem* child = first_child; child != nullptr; child = child->next_sibling)
    if (WatchItem* found = child->Find(wanted)) return found;
  return nullptr;
}

WatchItem* WatchItem::Find(const char* wanted) {
  for (WatchItem* child = first_child; child != nullptr; child = child->next_sibling)
    if (child->name == wanted) return child;
  return nullptr;
}

std::string WatchItem::LongName() const {
  return parent != nullptr ? parent->LongName() + "/" + name : name;
}
