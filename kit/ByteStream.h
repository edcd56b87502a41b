// A growable in-memory byte stream that is only ever appended to: the thumbnail the EXIF
// parser copies out of a reply collects here until it is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kit {

class ByteStream {
 public:
  void Write(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
  }

  const uint8_t* Data() const { return bytes_.data(); }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace kit
