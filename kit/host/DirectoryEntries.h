// What the node monitor remembers about the entries of a watched directory.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kit {

struct EntryState {
  int64_t node = 0;
  bool directory = false;
  bool openable = false;  // the user may open it for reading and writing
};

using EntryTable = std::map<std::string, EntryState>;

// The names in a directory, without "." and ".."; false when it cannot be read.
bool ListDirectory(const std::string& path, std::vector<std::string>* names);

// The entry itself (links not followed); none when it is not there.
std::optional<EntryState> ReadEntryState(const std::string& path);

// Every entry of the directory that could be looked at; empty when it cannot be read.
EntryTable ReadEntries(const std::string& directory);

}  // namespace kit
