// A picture in memory, 4 bytes a pixel (blue, green, red, alpha), rows padded to
// `BytesPerRow`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kit {

class Bitmap {
 public:
  // Every pixel starts as zero (transparent black).
  Bitmap(int width, int height);
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BytesPerRow() const { return bytes_per_row_; }
  uint8_t* Bits() { return bits_.get(); }
  const uint8_t* Bits() const { return bits_.get(); }
  size_t BitsLength() const { return size_t(bytes_per_row_) * size_t(height_); }

  uint32_t PixelAt(int x, int y) const;  // 0xAARRGGBB
  void SetPixel(int x, int y, uint32_t argb);

 private:
  int width_;
  int height_;
  int bytes_per_row_;
  std::shared_ptr<uint8_t[]> bits_;  // from PixelMemory
};

// A new bitmap (owned by the caller) holding `from` turned a quarter, clockwise or not.
Bitmap* TurnedQuarter(const Bitmap& from, bool clockwise);
// Turns the bitmap a half turn where it stands: its size does not change.
void TurnHalf(Bitmap& bitmap);

}  // namespace kit
