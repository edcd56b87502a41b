#include "kit/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "kit/PixelArena.h"

namespace kit {

Bitmap::Bitmap(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bytes_per_row_(width_ * 4),
      bits_(PixelMemory(BitsLength())) {}

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

Bitmap* TurnedQuarter(const Bitmap& from, bool clockwise) {
  // Square tiles of one cache line's width: each tile's source and target lines stay in the
  // cache while it is turned, where walking whole columns would fetch every line 16 times.
  constexpr int kTile = 16;
  const int right = from.Width() - 1;
  const int bottom = from.Height() - 1;
  auto* turned = new Bitmap(from.Height(), from.Width());
  const size_t from_row = size_t(from.BytesPerRow());
  const size_t to_row = size_t(turned->BytesPerRow());
  // Clockwise the old bottom-left corner ends at the new top-left, counter-clockwise the old
  // top-right: the pixel at (x, y) goes to (bottom - y, x) or to (y, right - x).
  for (int top = 0; top <= bottom; top += kTile) {
    for (int left = 0; left <= right; left += kTile) {
      for (int y = top; y <= std::min(top + kTile - 1, bottom); ++y) {
        const uint8_t* in = from.Bits() + size_t(y) * from_row;
        for (int x = left; x <= std::min(left + kTile - 1, right); ++x) {
          const int to_x = clockwise ? bottom - y : y;
          const int to_y = clockwise ? x : right - x;
          std::memcpy(turned->Bits() + size_t(to_y) * to_row + size_t(to_x) * 4, in + size_t(x) * 4,
                      4);
        }
      }
    }
  }
  return turned;
}

void TurnHalf(Bitmap& bitmap) {
  // A half turn reverses the order of all the pixels: swap the first with the last, and so on
  // towards the middle, a whole row pair at a time.
  const int width = bitmap.Width();
  const size_t row = size_t(bitmap.BytesPerRow());
  for (int top = 0, bottom = bitmap.Height() - 1; top <= bottom; ++top, --bottom) {
    uint8_t* upper = bitmap.Bits() + size_t(top) * row;
    uint8_t* lower = bitmap.Bits() + size_t(bottom) * row;
    const int pairs = top == bottom ? width / 2 : width;
    for (int x = 0; x < pairs; ++x)
      std::swap_ranges(upper + size_t(x) * 4, upper + size_t(x) * 4 + 4,
                       lower + size_t(width - 1 - x) * 4);
  }
}

}  // namespace kit
