#include "sim/BusTree.h"

namespace sim {

BusTree::BusTree() {
  root_.node = 1;
}

BusTree::~BusTree() = default;

BusTree::Entry* BusTree::Entry::Child(const std::string& name) const {
  for (const auto& child : children)
    if (child->name == name) return child.get();
  return nullptr;
}

std::vector<std::string> BusTree::Split(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string BusTree::Join(const std::vector<std::string>& parts) {
  std::string path;
  for (const std::string& part : parts) path += "/" + part;
  return path.empty() ? "/" : path;
}

BusTree::Entry* BusTree::Find(const std::string& path) const {
  const Entry* entry = &root_;
  for (const std::string& part : Split(path)) {
    entry = entry->Child(part);
    if (entry == nullptr) return nullptr;
  }
  return const_cast<Entry*>(entry);
}

BusTree::Entry* BusTree::FindNode(Entry* from, int64_t node) const {
  if (from->node == node) return from;
  for (const auto& child : from->children)
    if (Entry* found = FindNode(child.get(), node)) return found;
  return nullptr;
}

BusTree::Entry* BusTree::Create(Entry* directory, const std::string& name, EntryKind kind) {
  auto entry = std::make_unique<Entry>();
  entry->name = name;
  entry->kind = kind;
  entry->node = next_node_++;
  entry->parent = directory;
  Entry* created = entry.get();
  directory->children.push_back(std::move(entry));
  return created;
}

BusTree::Entry* BusTree::MakeDirectories(const std::vector<std::string>& parts) {
  Entry* directory = &root_;
  for (const std::string& part : parts) {
    Entry* next = directory->Child(part);
    if (next == nullptr) {
      next = Create(directory, part, EntryKind::kDirectory);
      Created(*directory, part);
    }
    if (next->kind != EntryKind::kDirectory) return nullptr;
    directory = next;
  }
  return directory;
}

bool BusTree::AddDirectory(const std::string& path) {
  std::lock_guard lock(mutex_);
  return MakeDirectories(Split(path)) != nullptr;
}

bool BusTree::AddEntry(const std::string& path, EntryKind kind, std::shared_ptr<SimDevice> device,
                       bool refuses_open) {
  std::vector<std::string> parts = Split(path);
  if (parts.empty()) return false;
  std::string name = parts.back();
  parts.pop_back();
  std::lock_guard lock(mutex_);
  Entry* directory = MakeDirectories(parts);
  if (directory == nullptr || directory->Child(name) != nullptr) return false;
  Entry* entry = Create(directory, name, kind);
  entry->refuses_open = refuses_open;
  entry->device = std::move(device);
  if (entry->device) {
    entry->device->Connect();
    std::weak_ptr<BusTree> tree = weak_from_this();
    int64_t node = entry->node;
    entry->device->SetUnplugHandler([tree, node] {
      if (auto alive = tree.lock()) alive->RemoveNode(node);
    });
  }
  Created(*directory, name);
  return true;
}

void BusTree::DisconnectAll(Entry& entry) {
  if (entry.device) entry.device->Disconnect();
  for (const auto& child : entry.children) DisconnectAll(*child);
}

bool BusTree::Detach(Entry* entry) {
  if (entry == nullptr || entry->parent == nullptr) return false;
  Entry* directory = entry->parent;
  auto& siblings = directory->children;
  for (auto it = siblings.begin(); it != siblings.end(); ++it) {
    if (it->get() != entry) continue;
    std::unique_ptr<Entry> removed = std::move(*it);
    siblings.erase(it);
    Removed(*directory, removed->node);
    DisconnectAll(*removed);
    return true;
  }
  return false;
}

bool BusTree::Remove(const std::string& path) {
  std::lock_guard lock(mutex_);
  return Detach(Find(path));
}

bool BusTree::RemoveNode(int64_t node) {
  std::lock_guard lock(mutex_);
  return Detach(FindNode(&root_, node));
}

bool BusTree::GrantAccess(const std::string& path) {
  std::lock_guard lock(mutex_);
  Entry* entry = Find(path);
  if (entry == nullptr || !entry->refuses_open) return false;
  entry->refuses_open = false;
  Removed(*entry->parent, entry->node);
  Created(*entry->parent, entry->name);
  return true;
}

bool BusTree::Stat(const std::string& path, kit::NodeStat* stat) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(path);
  if (entry == nullptr) return false;
  stat->ref = {kDeviceNumber, entry->node};
  stat->directory = entry->kind == EntryKind::kDirectory;
  return true;
}

bool BusTree::ReadDirectory(const std::string& path, std::vector<std::string>* names) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(path);
  if (entry == nullptr || entry->kind != EntryKind::kDirectory) return false;
  names->clear();
  for (const auto& child : entry->children) names->push_back(child->name);
  return true;
}

std::shared_ptr<SimDevice> BusTree::Open(const std::string& path) {
  std::lock_guard lock(mutex_);
  ++opens_[Join(Split(path))];
  const Entry* entry = Find(path);
  if (entry == nullptr || entry->kind != EntryKind::kDevice || entry->refuses_open ||
      !entry->device || entry->device->IsGone())
    return nullptr;
  return entry->device;
}

int BusTree::OpenCount(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto found = opens_.find(Join(Split(path)));
  return found == opens_.end() ? 0 : found->second;
}

std::shared_ptr<SimDevice> BusTree::DeviceAt(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(path);
  return entry ? entry->device : nullptr;
}

uint64_t BusTree::AddWatcher(const kit::Looper& target) {
  std::lock_guard lock(mutex_);
  uint64_t id = next_watcher_++;
  watchers_[id].messenger = kit::Messenger(target);
  return id;
}

void BusTree::DropWatcher(uint64_t watcher) {
  std::lock_guard lock(mutex_);
  watchers_.erase(watcher);
}

bool BusTree::Watch(uint64_t watcher, const kit::NodeRef& directory) {
  std::lock_guard lock(mutex_);
  auto found = watchers_.find(watcher);
  if (found == watchers_.end() || directory.device != kDeviceNumber) return false;
  const Entry* entry = FindNode(&root_, directory.node);
  if (entry == nullptr || entry->kind != EntryKind::kDirectory) return false;
  found->second.directories.insert(directory.node);
  return true;
}

void BusTree::Unwatch(uint64_t watcher, const kit::NodeRef& directory) {
  std::lock_guard lock(mutex_);
  auto found = watchers_.find(watcher);
  if (found != watchers_.end() && directory.device == kDeviceNumber)
    found->second.directories.erase(directory.node);
}

void BusTree::Post(const Entry& directory, const kit::Message& message) {
  for (const auto& [id, watcher] : watchers_)
    if (watcher.directories.count(directory.node) != 0) watcher.messenger.SendMessage(message);
}

void BusTree::Created(const Entry& directory, const std::string& name) {
  kit::Message message(kit::kNodeMonitorMessage);
  message.AddInt32("opcode", kit::kEntryCreated);
  message.AddInt32("device", kDeviceNumber);
  message.AddInt64("directory", directory.node);
  message.AddString("name", name);
  Post(directory, message);
}

void BusTree::Removed(const Entry& directory, int64_t node) {
  kit::Message message(kit::kNodeMonitorMessage);
  message.AddInt32("opcode", kit::kEntryRemoved);
  message.AddInt32("device", kDeviceNumber);
  message.AddInt64("directory", directory.node);
  message.AddInt64("node", node);
  Post(directory, message);
}

}  // namespace sim
