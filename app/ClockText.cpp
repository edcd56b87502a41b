#include "app/ClockText.h"

#include <cstdlib>

namespace {

// Differences this small are the reading's own delay.
constexpr int64_t kSameWithin = 1;

struct Unit {
  int64_t seconds;
  int64_t shown_below;  // the next unit takes over from this many
  const char* name;
};

constexpr Unit kUnits[] = {
    {1, 120, "s"},
    {60, 120, "min"},
    {3600, 48, "h"},
    {86400, 0, "days"},
};

}  // namespace

int64_t LocalSeconds(time_t now) {
  struct tm local;
  if (localtime_r(&now, &local) == nullptr) return now;
  return int64_t(timegm(&local));
}

std::string ClockTime(uint32_t seconds, bool iso) {
  time_t at = time_t(seconds);
  struct tm wall;
  char text[32];
  if (gmtime_r(&at, &wall) == nullptr ||
      strftime(text, sizeof text, iso ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d %H:%M:%S", &wall) == 0)
    return "?";
  return text;
}

std::string ClockDifference(int64_t ahead) {
  int64_t distance = std::llabs(ahead);
  if (distance <= kSameWithin) return "the same as this computer's";
  const Unit* unit = kUnits;
  while (unit->shown_below != 0 && distance / unit->seconds >= unit->shown_below) ++unit;
  return std::to_string(distance / unit->seconds) + " " + unit->name +
         (ahead > 0 ? " ahead of" : " behind") + " this computer";
}

std::string ClockLine(const CameraFacts& facts) {
  if (!facts.clock_read) return "clock: not read";
  return "clock: " + ClockTime(facts.clock) + ", " + ClockDifference(facts.clock_ahead);
}
