// What each orientation code a camera writes must come to, in every place that reads it.
#pragma once

#include <cstdint>

namespace testsupport {

struct OrientationCase {
  uint32_t code;
  uint32_t right, left;  // the code after "Rotate right", after "Rotate Left"
  int quarter_turns;     // clockwise, to stand upright: thumbnail at load and download
  const char* label;     // line 3 of the row, after the flash
};

inline constexpr OrientationCase kOrientationCases[] = {
    {0, 6, 8, 0, ""},           {1, 6, 8, 0, "(Landscape)"}, {3, 8, 6, 2, "(Landscape)"},
    {6, 7, 1, 1, "(Portrait)"}, {7, 8, 6, 2, "(Landscape)"}, {8, 1, 7, 3, "(Portrait)"},
};

}  // namespace testsupport
