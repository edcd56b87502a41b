#include "cli/TargetFolder.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

std::string TargetFolder(const std::string& pattern, uint32_t date) {
  if (pattern.empty()) return ".";
  std::string expanded = pattern;
  const char* home = getenv("HOME");
  if (home != nullptr && (pattern == "~" || pattern.rfind("~/", 0) == 0))
    expanded = home + pattern.substr(1);
  const time_t seconds = time_t(date);
  tm calendar{};
  gmtime_r(&seconds, &calendar);
  // strftime's result of 0 is ambiguous (empty or too long): grow until it surely fits.
  for (size_t room = 256; room <= 65536; room *= 4) {
    std::string folder(room, '\0');
    size_t length = strftime(folder.data(), room, expanded.c_str(), &calendar);
    if (length > 0) return folder.substr(0, length);
  }
  return expanded;
}

int MakeFolders(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return error.value();
  return std::filesystem::is_directory(folder, error) ? 0 : ENOTDIR;
}
