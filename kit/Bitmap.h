// A picture in memory, 4 bytes a pixel (blue, green, red, alpha), rows padded to
// `BytesPerRow`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kit {

class Bitmap {
 public:
  Bitmap(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BytesPerRow() const { return bytes_per_row_; }
  uint8_t* Bits() { return bits_.data(); }
  const uint8_t* Bits() const { return bits_.data(); }
  size_t BitsLength() const { return bits_.size(); }

  uint32_t PixelAt(int x, int y) const;  // 0xAARRGGBB
  void SetPixel(int x, int y, uint32_t argb);

 private:
  int width_;
  int height_;
  int bytes_per_row_;
  std::vector<uint8_t> bits_;
};

}  // namespace kit
