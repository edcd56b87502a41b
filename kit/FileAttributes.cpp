#include "kit/FileAttributes.h"

#include <sys/xattr.h>

#include <algorithm>

#include <vector>

namespace kit {

bool WriteAttr(int fd, const std::string& name, uint32_t type, const void* data, size_t length) {
  std::vector<uint8_t> value(4 + length);
  for (int i = 0; i < 4; i++) value[i] = uint8_t(type >> (24 - 8 * i));
  if (length > 0) std::copy_n(static_cast<const uint8_t*>(data), length, value.begin() + 4);
  return fsetxattr(fd, ("user." + name).c_str(), value.data(), value.size(), 0) == 0;
}

bool SetMimeType(int fd, const std::string& mime_type) {
  return fsetxattr(fd, "user.mime_type", mime_type.data(), mime_type.size(), 0) == 0;
}

}  // namespace kit
