// EXIF Flash values and whether each says the flash fired (bit 0), whatever its mode bits.
#pragma once

#include <cstdint>

namespace testsupport {

struct FlashValue {
  uint16_t value;
  bool fired;
};

inline constexpr FlashValue kFlashValues[] = {
    {0x00, false}, {0x01, true},  {0x05, true},  {0x07, true},
    {0x19, true},  {0x10, false}, {0x18, false},
};

}  // namespace testsupport
