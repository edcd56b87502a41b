// The camera's clock in words, for the information window and the command line. The camera
// keeps local wall-clock time without a zone: it is shown as it stands and compared with the
// computer's local time.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "camera/CameraHost.h"

// The computer's local wall-clock time at `now`, as seconds since 1970 the way the camera
// counts them.
int64_t LocalSeconds(time_t now);
// "2026-12-09 07:31:02"; with `iso`, "2026-12-09T07:31:02".
std::string ClockTime(uint32_t seconds, bool iso = false);
// "the same as this computer's", "42 s ahead of this computer", "3 days behind this computer".
std::string ClockDifference(int64_t ahead);
// "clock: 2026-12-09 07:31:02, 42 s ahead of this computer", or "clock: not read".
std::string ClockLine(const CameraFacts& facts);
