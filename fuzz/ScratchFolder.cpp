#include "fuzz/ScratchFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <vector>

namespace fuzzsupport {

namespace {

std::vector<std::string>& Folders() {
  static std::vector<std::string> folders;
  return folders;
}

void RemoveFolders() {
  for (const std::string& folder : Folders()) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
}

}  // namespace

std::string MakeScratchFolder(const char* name) {
  std::string pattern = std::string("/tmp/") + name + "_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) abort();
  if (Folders().empty()) atexit(RemoveFolders);
  Folders().push_back(pattern);
  return pattern;
}

}  // namespace fuzzsupport
