#include "camera/OwnerName.h"

#include <cstring>

#include "kit/Latin1.h"

namespace {

constexpr size_t kTypedLimit = 200;  // the longest name the program holds
constexpr size_t kCameraLimit = 31;  // the longest name the camera takes

}  // namespace

std::string OwnerFromCamera(const unsigned char* field) {
  const char* text = reinterpret_cast<const char*>(field);
  return kit::Latin1ToUtf8(std::string(text, strnlen(text, kOwnerField)));
}

std::string OwnerForCamera(const char* name) {
  std::string latin1 = kit::Utf8ToLatin1(Utf8Prefix(name, kTypedLimit));
  if (latin1.size() > kCameraLimit) latin1.resize(kCameraLimit);
  return latin1;
}

std::string Utf8Prefix(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  // Continuation bytes belong to the character before them.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80) end--;
  return text.substr(0, end);
}
