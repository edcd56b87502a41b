#include "tests/fsfault/FsFaults.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace {

struct Settings {
  std::string folder;  // with a trailing slash; empty: not armed
  std::string kind;
  int nth = 0;
  int error = 0;
  int kill_after = -1;  // never
  int flush_delay_ms = 0;
};

std::mutex& Mutex() {
  static std::mutex* mutex = new std::mutex;  // never destroyed: calls come until the end
  return *mutex;
}
Settings& Armed() {
  static Settings* settings = new Settings;
  return *settings;
}
std::set<int>& Tracked() {
  static std::set<int>* fds = new std::set<int>;
  return *fds;
}
// Tracked descriptors that have been flushed: what they read comes from the drive.
std::set<int>& Flushed() {
  static std::set<int>* fds = new std::set<int>;
  return *fds;
}
std::map<std::string, int>& Counts() {
  static std::map<std::string, int>* counts = new std::map<std::string, int>;
  return *counts;
}
int total = 0;

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

std::string Absolute(int dirfd, const char* path) {
  if (path[0] == '/') return path;
  char base[PATH_MAX];
  std::string link =
      dirfd == AT_FDCWD ? "/proc/self/cwd" : "/proc/self/fd/" + std::to_string(dirfd);
  ssize_t length = readlink(link.c_str(), base, sizeof base - 1);
  if (length <= 0) return path;
  base[length] = '\0';
  return std::string(base) + "/" + path;
}

bool InFolder(int dirfd, const char* path) {
  const Settings& armed = Armed();
  if (armed.folder.empty() || path == nullptr) return false;
  if (dirfd != AT_FDCWD && path[0] != '/' && Tracked().count(dirfd)) return true;
  std::string full = Absolute(dirfd, path) + "/";
  return full.compare(0, armed.folder.size(), armed.folder) == 0;
}

enum class Verdict { kGo, kFail, kCorrupt };

// Counts the call and says what becomes of it; under the mutex.
Verdict Count(const char* kind) {
  Settings& armed = Armed();
  int seen = ++Counts()[kind];
  ++total;
  if (armed.kill_after >= 0 && total > armed.kill_after) raise(SIGKILL);
  if (armed.kind == kind && (armed.nth == seen || armed.nth == -1))
    return armed.error == 0 ? Verdict::kCorrupt : Verdict::kFail;
  return Verdict::kGo;
}

// A call on a tracked descriptor: whether it must fail (errno set then).
Verdict OnFd(int fd, const char* kind) {
  std::lock_guard<std::mutex> guard(Mutex());
  if (Armed().folder.empty() || !Tracked().count(fd)) return Verdict::kGo;
  Verdict verdict = Count(kind);
  if (verdict == Verdict::kFail) errno = Armed().error;
  return verdict;
}

Verdict OnPath(int dirfd, const char* path, const char* kind) {
  std::lock_guard<std::mutex> guard(Mutex());
  if (!InFolder(dirfd, path)) return Verdict::kGo;
  Verdict verdict = Count(kind);
  if (verdict == Verdict::kFail) errno = Armed().error;
  return verdict;
}

void Delay() {
  int ms = Armed().flush_delay_ms;
  if (ms <= 0) return;
  timespec pause{ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

int Opened(int dirfd, const char* path, int flags, mode_t mode, bool at) {
  bool ours;
  {
    std::lock_guard<std::mutex> guard(Mutex());
    ours = InFolder(dirfd, path);
  }
  if (ours && OnPath(dirfd, path, (flags & O_CREAT) ? "create" : "open") == Verdict::kFail)
    return -1;
  using OpenAt = int (*)(int, const char*, int, ...);
  using Open = int (*)(const char*, int, ...);
  static OpenAt real_openat = Next<OpenAt>("openat");
  static Open real_open = Next<Open>("open");
  int fd = at ? real_openat(dirfd, path, flags, mode) : real_open(path, flags, mode);
  if (fd != -1 && ours) {
    std::lock_guard<std::mutex> guard(Mutex());
    Tracked().insert(fd);
  }
  return fd;
}

// A flush of `kind`, as slow as the settings make it; what the descriptor reads afterwards
// comes from the drive.
int Flush(int fd, const char* kind, int (*real)(int)) {
  if (OnFd(fd, kind) == Verdict::kFail) return -1;
  bool tracked;
  {
    std::lock_guard<std::mutex> guard(Mutex());
    tracked = Tracked().count(fd) != 0;
    if (tracked) Flushed().insert(fd);
  }
  if (tracked) Delay();
  return real(fd);
}

mode_t ModeOf(int flags, va_list args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

__attribute__((constructor)) void FromEnvironment() {
  const char* folder = getenv("PICTROVE_FSFAULT_FOLDER");
  if (folder == nullptr) return;
  auto number = [](const char* name) {
    const char* value = getenv(name);
    return value != nullptr ? atoi(value) : 0;
  };
  const char* kind = getenv("PICTROVE_FSFAULT_KIND");
  fsfault_arm(folder, kind != nullptr ? kind : "", number("PICTROVE_FSFAULT_NTH"),
              number("PICTROVE_FSFAULT_ERRNO"));
  std::lock_guard<std::mutex> guard(Mutex());
  if (getenv("PICTROVE_FSFAULT_KILL_AFTER") != nullptr)
    Armed().kill_after = number("PICTROVE_FSFAULT_KILL_AFTER");
  Armed().flush_delay_ms = number("PICTROVE_FSFAULT_FLUSH_DELAY_MS");
}

}  // namespace

extern "C" {

void fsfault_arm(const char* folder, const char* kind, int nth, int error) {
  char resolved[PATH_MAX];
  std::string path = realpath(folder, resolved) != nullptr ? resolved : folder;
  std::lock_guard<std::mutex> guard(Mutex());
  Settings& armed = Armed();
  armed.folder = path + "/";
  armed.kind = kind;
  armed.nth = nth;
  armed.error = error;
  Counts().clear();
  total = 0;
}

void fsfault_disarm(void) {
  std::lock_guard<std::mutex> guard(Mutex());
  Armed() = Settings();
  Tracked().clear();
  Flushed().clear();
}

void fsfault_kill_after(int calls) {
  std::lock_guard<std::mutex> guard(Mutex());
  Armed().kill_after = calls;
}

int fsfault_count(const char* kind) {
  std::lock_guard<std::mutex> guard(Mutex());
  auto found = Counts().find(kind);
  return found == Counts().end() ? 0 : found->second;
}

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeOf(flags, args);
  va_end(args);
  return Opened(AT_FDCWD, path, flags, mode, false);
}

int openat(int dirfd, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = ModeOf(flags, args);
  va_end(args);
  return Opened(dirfd, path, flags, mode, true);
}

ssize_t write(int fd, const void* data, size_t length) {
  static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  if (OnFd(fd, "write") == Verdict::kFail) return -1;
  return real(fd, data, length);
}

ssize_t pwrite(int fd, const void* data, size_t length, off_t offset) {
  static auto real = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  if (OnFd(fd, "write") == Verdict::kFail) return -1;
  return real(fd, data, length, offset);
}

ssize_t pread(int fd, void* data, size_t length, off_t offset) {
  static auto real = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
  bool flushed;
  {
    std::lock_guard<std::mutex> guard(Mutex());
    flushed = Flushed().count(fd) != 0;
  }
  Verdict verdict = OnFd(fd, flushed ? "readback" : "pread");
  if (verdict == Verdict::kFail) return -1;
  ssize_t got = real(fd, data, length, offset);
  if (verdict == Verdict::kCorrupt && got > 0) static_cast<unsigned char*>(data)[got / 2] ^= 0x40;
  return got;
}

int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
  static auto real = Next<int (*)(int, const char*, const void*, size_t, int)>("fsetxattr");
  if (OnFd(fd, "setxattr") == Verdict::kFail) return -1;
  return real(fd, name, value, size, flags);
}

int fdatasync(int fd) {
  static auto real = Next<int (*)(int)>("fdatasync");
  return Flush(fd, "fdatasync", real);
}

int fsync(int fd) {
  static auto real = Next<int (*)(int)>("fsync");
  return Flush(fd, "fsync", real);
}

int close(int fd) {
  static auto real = Next<int (*)(int)>("close");
  Verdict verdict = OnFd(fd, "close");
  {
    std::lock_guard<std::mutex> guard(Mutex());
    Tracked().erase(fd);
    Flushed().erase(fd);
  }
  int result = real(fd);
  // As a file system that reports a lost write only at close: the descriptor is gone anyway.
  if (verdict == Verdict::kFail) {
    errno = EIO;
    std::lock_guard<std::mutex> guard(Mutex());
    if (Armed().error != 0) errno = Armed().error;
    return -1;
  }
  return result;
}

int renameat2(int olddir, const char* from, int newdir, const char* to, unsigned flags) {
  static auto real = Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  if (OnPath(newdir, to, "rename") == Verdict::kFail) return -1;
  return real(olddir, from, newdir, to, flags);
}

int renameat(int olddir, const char* from, int newdir, const char* to) {
  static auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
  if (OnPath(newdir, to, "rename") == Verdict::kFail) return -1;
  return real(olddir, from, newdir, to);
}

int linkat(int olddir, const char* from, int newdir, const char* to, int flags) {
  static auto real = Next<int (*)(int, const char*, int, const char*, int)>("linkat");
  if (OnPath(newdir, to, "rename") == Verdict::kFail) return -1;
  return real(olddir, from, newdir, to, flags);
}

int unlinkat(int dirfd, const char* path, int flags) {
  static auto real = Next<int (*)(int, const char*, int)>("unlinkat");
  if (OnPath(dirfd, path, "unlink") == Verdict::kFail) return -1;
  return real(dirfd, path, flags);
}

// The large-file names are the same calls on this system.
int open64(const char* path, int flags, ...) __attribute__((alias("open")));
int openat64(int dirfd, const char* path, int flags, ...) __attribute__((alias("openat")));
ssize_t pwrite64(int fd, const void* data, size_t length, off_t offset)
    __attribute__((alias("pwrite")));
ssize_t pread64(int fd, void* data, size_t length, off_t offset) __attribute__((alias("pread")));

}  // extern "C"
