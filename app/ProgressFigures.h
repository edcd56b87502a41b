// The figures of a transfer under way, worked out once for every place that shows them:
// the command line's progress line and the status window's.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// A progress line is redrawn at most this often: faster than that nobody can read it.
inline constexpr std::chrono::milliseconds kProgressInterval{250};

// "1.2 of 3.4 MB  800 kB/s  0:03 left": `done` of `total` bytes after `seconds`. The rate
// and the time left are left out while nothing has moved yet.
std::string ProgressFigures(uint64_t done, uint64_t total, double seconds);
