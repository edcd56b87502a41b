// What a set-attributes command sent to the simulated camera names, for cameras that watch
// the downloaded marks as they come.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace apptest {

struct MarkCommand {
  std::string name;  // the picture's file name
  uint8_t attributes = 0;
};

// The command block's code at 68 is set-attributes (0x0E); the attribute byte comes first in
// the payload, then the folder and the file name, each ended by a NUL.
inline std::optional<MarkCommand> ReadMarkCommand(const uint8_t* data, uint32_t length) {
  if (length <= 84 || data[68] != 0x0E || memchr(data + 84, '\0', length - 84) == nullptr)
    return std::nullopt;
  const char* folder = reinterpret_cast<const char*>(data) + 84;
  const char* name = folder + strlen(folder) + 1;
  if (name >= reinterpret_cast<const char*>(data) + length) return std::nullopt;
  return MarkCommand{
      std::string(name, strnlen(name, data + length - reinterpret_cast<const uint8_t*>(name))),
      data[80]};
}

}  // namespace apptest
