#include "kit/host/DirectoryEntries.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kit {

bool ListDirectory(const std::string& path, std::vector<std::string>* names) {
  DIR* directory = opendir(path.c_str());
  if (directory == nullptr) return false;
  names->clear();
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(directory);
    if (entry == nullptr) break;
    if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
    names->push_back(entry->d_name);
  }
  bool complete = errno == 0;
  closedir(directory);
  return complete;
}

std::optional<EntryState> ReadEntryState(const std::string& path) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0) return std::nullopt;
  return EntryState{int64_t(status.st_ino), S_ISDIR(status.st_mode),
                    access(path.c_str(), R_OK | W_OK) == 0};
}

EntryTable ReadEntries(const std::string& directory) {
  EntryTable entries;
  std::vector<std::string> names;
  if (!ListDirectory(directory, &names)) return entries;
  for (const std::string& name : names)
    if (std::optional<EntryState> state = ReadEntryState(directory + "/" + name))
      entries[name] = *state;
  return entries;
}

}  // namespace kit
