#include "usb/USBRosterLooper.h"

#include <cstdio>

#include "kit/Platform.h"
#include "usb/USBDevice.h"
#include "usb/USBRoster.h"
#include "usb/WatchItem.h"

namespace {

const char kRootPath[] = "/dev/bus/usb";
const char kRootParent[] = "/dev/bus/";
const char kUnload[] = "unload";

// Tells directory items from device items: no device lives at this address.
char directory_marker;
void* const kDirectory = &directory_marker;

}  // namespace

USBRosterLooper::USBRosterLooper(USBRoster* roster) : roster_(roster) {
  kit::DeviceTree& tree = kit::CurrentPlatform().Devices();
  kit::NodeStat root;
  if (!tree.Stat(kRootPath, &root))
    fputs("BLAGHR!", stderr);
  else
    root_device_ = root.ref.device;
  monitor_ = tree.CreateMonitor(*this);
  Run();
  Lock();
  WatchDirectory(kRootPath, nullptr);
  Unlock();
}

USBRosterLooper::~USBRosterLooper() {
  // The monitor is read by this looper's thread: end the thread before the monitor goes.
  Quit();
  monitor_.reset();
}

std::string USBRosterLooper::PathOf(const WatchItem* item) {
  return kRootParent + item->LongName();
}

void USBRosterLooper::WatchDirectory(const std::string& path, WatchItem* parent) {
  kit::DeviceTree& tree = kit::CurrentPlatform().Devices();
  kit::NodeStat stat;
  if (!tree.Stat(path, &stat) || !stat.directory) return;

  WatchItem* item = parent != nullptr ? parent->Find(stat.ref.node) : nullptr;
  bool created = item == nullptr;
  if (created) {
    size_t slash = path.rfind('/');
    item = new WatchItem(stat.ref.node, path.c_str() + slash + 1, kDirectory);
    monitor_->Watch(stat.ref, path);
  }
  std::vector<std::string> names;
  if (!tree.ReadDirectory(path, &names)) {
    // A directory that cannot be opened is neither watched nor scanned.
    if (created) {
      monitor_->Unwatch(stat.ref);
      delete item;
    }
    return;
  }
  if (created) {
    if (parent != nullptr)
      parent->Add(item);
    else
      root_ = item;
  }

  for (const std::string& name : names) {
    std::string entry = path + "/" + name;
    kit::NodeStat child;
    if (!tree.Stat(entry, &child)) continue;
    if (child.directory) {
      WatchDirectory(entry, item);
      continue;
    }
    if (name == kUnload || item->Find(name.c_str()) != nullptr) continue;
    AddNode(item, entry, name, child.ref.node);
  }
}

void USBRosterLooper::AddNode(WatchItem* directory, const std::string& path,
                              const std::string& name, int64_t node) {
  auto* device = new USBDevice(path.c_str());
  if (device->InitCheck() != 0) {
    // Remembered without a device, so that it is not tried again until it reappears.
    delete device;
    directory->Add(new WatchItem(node, name.c_str(), nullptr));
    return;
  }
  auto* item = new WatchItem(node, name.c_str(), device);
  directory->Add(item);
  ItemAdded(item);
}

void USBRosterLooper::ItemAdded(WatchItem* item) {
  if (item->data == nullptr || item->data == kDirectory) return;
  auto* device = static_cast<USBDevice*>(item->data);
  if (roster_->DeviceAdded(device) != 0) {
    delete device;
    item->data = nullptr;
  }
}

void USBRosterLooper::MessageReceived(kit::Message* message) {
  int32_t opcode;
  if (!message->FindInt32("opcode", &opcode)) return;
  if (opcode == kit::kEntryCreated) EntryCreated(*message);
  if (opcode == kit::kEntryRemoved) EntryRemoved(*message);
}

void USBRosterLooper::EntryCreated(const kit::Message& message) {
  int32_t device;
  int64_t directory;
  std::string name;
  if (!message.FindInt32("device", &device) || !message.FindInt64("directory", &directory) ||
      !message.FindString("name", &name))
    return;
  if (name == kUnload || root_ == nullptr) return;
  WatchItem* parent = root_->Find(directory);
  if (parent == nullptr || parent->data != kDirectory) return;
  if (parent->Find(name.c_str()) != nullptr) {
    fputs("no item\n", stderr);
    return;
  }
  std::string path = PathOf(parent) + "/" + name;
  kit::NodeStat stat;
  if (!kit::CurrentPlatform().Devices().Stat(path, &stat)) return;
  if (stat.directory)
    WatchDirectory(path, parent);
  else
    AddNode(parent, path, name, stat.ref.node);
}

void USBRosterLooper::EntryRemoved(const kit::Message& message) {
  int32_t device;
  int64_t directory, node;
  if (!message.FindInt32("device", &device) || !message.FindInt64("directory", &directory) ||
      !message.FindInt64("node", &node))
    return;
  WatchItem* item = root_ != nullptr ? root_->Find(node) : nullptr;
  if (item == nullptr || item->parent == nullptr) {
    fputs("no item\n", stderr);
    return;
  }
  DestroyItem(item->parent->Remove(item));
}

void USBRosterLooper::DestroyItem(WatchItem* item) {
  if (item == nullptr) return;
  if (item->data == kDirectory) {
    monitor_->Unwatch(kit::NodeRef{root_device_, item->node});
  } else if (item->data != nullptr) {
    auto* device = static_cast<USBDevice*>(item->data);
    roster_->DeviceRemoved(device);
    delete device;
  }
  for (WatchItem* child = item->first_child; child != nullptr;) {
    WatchItem* next = child->next_sibling;
    DestroyItem(child);
    child = next;
  }
  delete item;
}

void USBRosterLooper::DestroyTree() {
  DestroyItem(root_);
  root_ = nullptr;
}
