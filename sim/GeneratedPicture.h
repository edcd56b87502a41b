// Pictures whose bytes are made as they are read: a synthetic JPEG (with its EXIF data
// and embedded thumbnail) and then filler up to any size, so that a camera can serve a
// download far larger than what it holds. The filler hangs after the end-of-image marker,
// where a decoder no longer looks.
#pragma once

#include <cstdint>

#include "sim/CameraContent.h"
#include "sim/PictureMaker.h"

namespace sim {

// A file of exactly `size` bytes: the picture `spec` describes (cut short when `size` is
// smaller), then filler bytes, under the name and date the description gives.
CameraFile MakeGeneratedPicture(const PictureSpec& spec, uint32_t size,
                                uint8_t attributes = kAttributeNew);

// The filler byte at an offset of the file; it depends on the offset only.
uint8_t FillerByte(uint32_t offset);

}  // namespace sim
