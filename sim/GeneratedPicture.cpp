#include "sim/GeneratedPicture.h"

#include <algorithm>
#include <cstring>

namespace sim {

uint8_t FillerByte(uint32_t offset) {
  // A multiplicative hash: no short period, so a chunk put at the wrong offset shows.
  return uint8_t((offset * 2654435761u) >> 24);
}

CameraFile MakeGeneratedPicture(const PictureSpec& spec, uint32_t size, uint8_t attributes) {
  auto head = std::make_shared<const std::vector<uint8_t>>(MakePicture(spec));
  auto generated = std::make_shared<GeneratedBytes>();
  generated->size = size;
  generated->generate = [head](uint32_t offset, uint8_t* out, size_t length) {
    size_t from_head = offset < head->size() ? std::min(length, head->size() - offset) : 0;
    if (from_head != 0) std::memcpy(out, head->data() + offset, from_head);
    for (size_t i = from_head; i < length; ++i) out[i] = FillerByte(uint32_t(offset + i));
  };
  CameraFile file;
  file.name = spec.name;
  file.attributes = attributes;
  file.date = spec.date;
  file.generated = std::move(generated);
  return file;
}

}  // namespace sim
