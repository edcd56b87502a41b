#include "camera/UploadProgress.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr char kPrefix[] = "Uploading ";
// Room for the name: the line less the prefix, the "." and the terminator.
constexpr size_t kNameRoom = kStatusLineSize - (sizeof kPrefix - 1) - 2;

bool IsContinuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}
}  // namespace

const char* UploadProgressText(char* text, const char* path) {
  const char* slash = strrchr(path, '/');
  const char* name = slash != nullptr ? slash + 1 : path;
  size_t length = strlen(name);
  if (length > kNameRoom) {
    length = kNameRoom;
    while (length > 0 && IsContinuation(name[length])) --length;
  }
  snprintf(text, kStatusLineSize, "%s%.*s.", kPrefix, int(length), name);
  return text;
}
