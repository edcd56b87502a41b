#pragma once

#include <cstdint>

namespace testsupport {
// What each code a camera writes comes to: the codes after "Rotate right" and "Rotate Left",
// the quarter turns clockwise that stand the picture upright, the row's label.
struct OrientationCase {
  uint32_t code, right, left;
  int quarter_turns;
  const char* label;
};

inline constexpr OrientationCase kOrientationCases[] = {
    {0, 6, 8, 0, ""},           {1, 6, 8, 0, "(Landscape)"}, {3, 8, 6, 2, "(Landscape)"},
    {6, 7, 1, 1, "(Portrait)"}, {7, 8, 6, 2, "(Landscape)"}, {8, 1, 7, 3, "(Portrait)"}};
}  // namespace testsupport
