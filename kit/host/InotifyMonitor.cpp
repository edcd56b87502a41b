#include "kit/host/InotifyMonitor.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <vector>

#include "kit/Looper.h"

namespace kit {

namespace {

constexpr uint32_t kMask =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_ONLYDIR;

Message Notification(int32_t opcode, const NodeRef& directory) {
  Message message(kNodeMonitorMessage);
  message.AddInt32("opcode", opcode);
  message.AddInt32("device", directory.device);
  message.AddInt64("directory", directory.node);
  return message;
}

}  // namespace

InotifyMonitor::InotifyMonitor(Looper& target)
    : target_(target), fd_(inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
  if (fd_ >= 0) target_.AddReadSource(fd_, [this] { ReadEvents(); });
}

InotifyMonitor::~InotifyMonitor() {
  if (fd_ < 0) return;
  target_.RemoveReadSource(fd_);
  close(fd_);
}

bool InotifyMonitor::Watch(const NodeRef& directory, const std::string& path) {
  if (fd_ < 0) return false;
  std::lock_guard<std::mutex> guard(mutex_);
  int wd = inotify_add_watch(fd_, path.c_str(), kMask);
  if (wd < 0) return false;
  // Listed after the watch is in place: an entry made in between is both listed and
  // reported, and its report is then recognised as known.
  watches_[wd] = Watched{directory, path, ReadEntries(path)};
  return true;
}

void InotifyMonitor::Unwatch(const NodeRef& directory) {
  std::lock_guard<std::mutex> guard(mutex_);
  for (auto watch = watches_.begin(); watch != watches_.end(); ++watch) {
    if (watch->second.ref.device != directory.device || watch->second.ref.node != directory.node)
      continue;
    // Forgotten at once, so that events still queued for it are dropped; its IN_IGNORED
    // then finds nothing.
    inotify_rm_watch(fd_, watch->first);
    watches_.erase(watch);
    return;
  }
}

void InotifyMonitor::ReadEvents() {
  alignas(inotify_event) char buffer[16 * 1024];
  for (;;) {
    ssize_t got = read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;  // drained
    std::lock_guard<std::mutex> guard(mutex_);
    for (ssize_t offset = 0; offset < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
      Handle(*event);
      offset += ssize_t(sizeof(inotify_event) + event->len);
    }
  }
}

void InotifyMonitor::Handle(const inotify_event& event) {
  if (event.mask & IN_Q_OVERFLOW) {
    Resynchronise();
    return;
  }
  auto found = watches_.find(event.wd);
  if (found == watches_.end()) return;
  if (event.mask & IN_IGNORED) {  // the directory went away or was unwatched
    watches_.erase(found);
    return;
  }
  if (event.len == 0) return;  // about the directory itself
  Watched& watched = found->second;
  std::string name(event.name);
  if (event.mask & (IN_DELETE | IN_MOVED_FROM))
    Reconcile(watched, name, std::nullopt);
  else
    Reconcile(watched, name, ReadEntryState(watched.path + "/" + name));
}

void InotifyMonitor::Resynchronise() {
  // Events were lost: compare every watched directory with what it holds now.
  for (auto& [wd, watched] : watches_) {
    EntryTable now = ReadEntries(watched.path);
    std::set<std::string> names;
    for (const auto& [name, state] : watched.entries) names.insert(name);
    for (const auto& [name, state] : now) names.insert(name);
    for (const std::string& name : names) {
      auto current = now.find(name);
      Reconcile(watched, name,
                current == now.end() ? std::nullopt : std::optional<EntryState>(current->second));
    }
  }
}

void InotifyMonitor::Reconcile(Watched& watched, const std::string& name,
                               const std::optional<EntryState>& now) {
  auto known = watched.entries.find(name);
  if (known != watched.entries.end()) {
    const EntryState& was = known->second;
    bool same = now && now->node == was.node;
    // udev grants access just after a node appears: a node that could not be opened when it
    // was last seen and can be now counts as created again.
    bool granted = same && !was.openable && now->openable && !now->directory;
    if (same && !granted) {
      known->second = *now;
      return;
    }
    PostRemoved(watched, was.node);
    watched.entries.erase(known);
  }
  if (!now) return;
  watched.entries[name] = *now;
  PostCreated(watched, name);
}

void InotifyMonitor::PostCreated(const Watched& watched, const std::string& name) {
  Message message = Notification(kEntryCreated, watched.ref);
  message.AddString("name", name);
  target_.PostMessage(std::move(message));
}

void InotifyMonitor::PostRemoved(const Watched& watched, int64_t node) {
  Message message = Notification(kEntryRemoved, watched.ref);
  message.AddInt64("node", node);
  target_.PostMessage(std::move(message));
}

}  // namespace kit
