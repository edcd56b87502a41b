#include "kit/Bitmap.h"

#include <algorithm>

namespace kit {

Bitmap::Bitmap(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bytes_per_row_(width_ * 4),
      bits_(size_t(bytes_per_row_) * size_t(height_)) {}

uint32_t Bitmap::PixelAt(int x, int y) const {
  const uint8_t* p = &bits_[size_t(y) * bytes_per_row_ + size_t(x) * 4];
  return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

void Bitmap::SetPixel(int x, int y, uint32_t argb) {
  uint8_t* p = &bits_[size_t(y) * bytes_per_row_ + size_t(x) * 4];
  p[0] = uint8_t(argb);
  p[1] = uint8_t(argb >> 8);
  p[2] = uint8_t(argb >> 16);
  p[3] = uint8_t(argb >> 24);
}

}  // namespace kit
