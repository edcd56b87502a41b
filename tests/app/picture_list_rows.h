// Rows for the picture list suites.
#pragma once

#include <cstdint>

#include "app/pic_Item.h"
#include "kit/Bitmap.h"

namespace rows {

// Opaque, and every pixel differs from its neighbours, so that a misplaced one shows.
inline kit::Bitmap* Pattern(int width, int height, uint32_t seed = 0) {
  auto* bitmap = new kit::Bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bitmap->SetPixel(x, y, 0xFF000000u | ((seed * 7919u + uint32_t(y * width + x)) & 0xFFFFFFu));
    }
  }
  return bitmap;
}

inline pic_Item* Make(uint32_t date, uint32_t attributes = 0, kit::Bitmap* thumbnail = nullptr) {
  auto* row = new pic_Item("D:\\DCIM\\100TESTS\\IMG_0001.JPG", attributes, 1000, date, thumbnail,
                           1600, 1200);
  return row;
}

}  // namespace rows
