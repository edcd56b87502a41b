#include "tests/support/ScratchFolder.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace testsupport {

namespace {

std::mutex removal_mutex;

std::vector<std::string>& RemovedAtExit() {
  static std::vector<std::string> folders;
  return folders;
}

void RemoveFolders() {
  std::lock_guard lock(removal_mutex);
  for (const std::string& folder : RemovedAtExit()) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
}

}  // namespace

std::string MakeScratchFolder(const std::string& prefix, Removal removal) {
  std::string pattern = std::filesystem::temp_directory_path() / (prefix + "XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) abort();
  if (removal == Removal::kAtExit) {
    std::lock_guard lock(removal_mutex);
    if (RemovedAtExit().empty()) atexit(RemoveFolders);
    RemovedAtExit().push_back(pattern);
  }
  return pattern;
}

ScratchFolder::ScratchFolder(const std::string& prefix)
    : path_(MakeScratchFolder(prefix)), previous_(std::filesystem::current_path()) {
  if (chdir(path_.c_str()) != 0) abort();
}

ScratchFolder::~ScratchFolder() {
  if (chdir(previous_.c_str()) != 0) abort();
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::vector<std::string> ScratchFolder::Names() const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path_, error))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace testsupport
