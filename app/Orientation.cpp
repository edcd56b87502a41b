#include "app/Orientation.h"

UprightTurn TurnFor(uint32_t orientation) {
  switch (orientation) {
    case 6:
      return UprightTurn::kQuarter;
    case 3:
    case 7:
      return UprightTurn::kHalf;
    case 8:
      return UprightTurn::kThreeQuarters;
    default:
      return UprightTurn::kNone;
  }
}

bool IsPortrait(uint32_t orientation) {
  UprightTurn turn = TurnFor(orientation);
  return turn == UprightTurn::kQuarter || turn == UprightTurn::kThreeQuarters;
}

uint32_t RotatedOrientation(uint32_t orientation, int angle) {
  static const uint32_t cycle[] = {1, 6, 7, 8};
  if (orientation == 0) orientation = 1;
  if (orientation == 3) orientation = 7;
  for (int i = 0; i < 4; i++)
    if (cycle[i] == orientation) return cycle[(i + (angle == 90 ? 1 : 3)) % 4];
  return orientation;
}
