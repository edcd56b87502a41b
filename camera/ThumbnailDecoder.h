// Decoding a thumbnail JPEG into a bitmap of 4 bytes a pixel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kit/Bitmap.h"

// Thumbnails are small; a header that claims more pixels than this is not one.
constexpr int64_t kMaxThumbnailPixels = 4096 * 1024;

// A new bitmap the caller owns, or none when the bytes cannot be decoded.
kit::Bitmap* DecodeThumbnail(const uint8_t* data, size_t size);
