// Decoding a thumbnail JPEG into a bitmap of 4 bytes a pixel, turned upright on the way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kit/Bitmap.h"

// Thumbnails are small; a header that claims more pixels than this is not one.
constexpr int64_t kMaxThumbnailPixels = 4096 * 1024;

// How the decoded thumbnail is turned.
enum class ThumbnailTurn { kNone, kClockwise, kHalf, kCounterClockwise };

// A new bitmap the caller owns, or none when the bytes cannot be decoded. Each thread keeps
// one decoder, and a bitmap to decode a turned thumbnail into, for all its thumbnails.
kit::Bitmap* DecodeThumbnail(const uint8_t* data, size_t size,
                             ThumbnailTurn turn = ThumbnailTurn::kNone);
