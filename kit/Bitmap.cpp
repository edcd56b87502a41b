#include "kit/Bitmap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kit {

namespace {

// The pages of fresh memory that is about to be written whole, made present with one call
// instead of a fault on each page's first write: a list of a thousand thumbnails takes 77 MB.
void Populate(uint8_t* bits, size_t length) {
  static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
  uintptr_t start = (uintptr_t(bits) + page - 1) & ~(page - 1);
  uintptr_t end = (uintptr_t(bits) + length) & ~(page - 1);
  // Older kernels refuse the advice; the pages then come one fault at a time, as before.
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
}

}  // namespace

Bitmap::Bitmap(int width, int height, Fill fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), bytes_per_row_(width_ * 4) {
  bits_ = fill == Fill::kZero ? std::make_unique<uint8_t[]>(BitsLength())
                              : std::make_unique_for_overwrite<uint8_t[]>(BitsLength());
  if (fill == Fill::kNone) Populate(bits_.get(), BitsLength());
}

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
  const int right = from.Width() - 1;
  const int bottom = from.Height() - 1;
  auto* turned = new Bitmap(from.Height(), from.Width(), Bitmap::Fill::kNone);
  // Written row after row, each pixel a word read down (clockwise: up) a column of the
  // original: clockwise the old bottom-left corner ends at the new top-left, counter-clockwise
  // the old top-right.
  for (int row = 0; row <= right; ++row) {
    uint8_t* out = turned->Bits() + size_t(row) * size_t(turned->BytesPerRow());
    const int x = clockwise ? row : right - row;
    for (int column = 0; column <= bottom; ++column) {
      const int y = clockwise ? bottom - column : column;
      std::memcpy(out + size_t(column) * 4,
                  from.Bits() + size_t(y) * size_t(from.BytesPerRow()) + size_t(x) * 4, 4);
    }
  }
  return turned;
}

}  // namespace kit
