#include "camera/PictureNames.h"

#include <cstring>

#include "app/Orientation.h"

std::optional<std::string> LocalName(const char* path) {
  const char* backslash = strrchr(path, '\\');
  std::string name = backslash != nullptr ? backslash + 1 : path;
  if (name.empty() || name == "." || name == ".." || name[0] == '-') return std::nullopt;
  for (unsigned char c : name)
    if (c == '/' || c < 0x20 || c == 0x7f) return std::nullopt;
  return name;
}

bool NeedsTurn(unsigned long orientation) {
  return TurnFor(uint32_t(orientation)) != UprightTurn::kNone;
}

bool NeedsTurn(FileKind kind, unsigned long orientation) {
  return kind == FileKind::kPicture && NeedsTurn(orientation);
}
