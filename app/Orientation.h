// What a picture's orientation code asks for: the clockwise turn that makes the stored
// picture stand upright. The list, its thumbnails, the download and the file attributes all
// read the code through here, so that they never disagree about a picture.
#pragma once

#include <cstdint>

enum class UprightTurn { kNone, kQuarter, kHalf, kThreeQuarters };

// 6 a quarter, 3 and 7 a half (3 is what cameras write for an upside-down picture), 8 three
// quarters; 0 (none given), 1 and every other code no turn.
UprightTurn TurnFor(uint32_t orientation);

// Whether the upright picture's width is the stored picture's height.
bool IsPortrait(uint32_t orientation);

// The code after the user turns the picture by 90 (right) or 270 (left) degrees, through
// the cycle 1 -> 6 -> 7 -> 8 -> 1. A picture with no code counts as upright, and 3 as the
// half turn it is; codes that are no turn of the cycle stay as they are.
uint32_t RotatedOrientation(uint32_t orientation, int angle);
