// The camera's clock in words: the time as it stands, and the difference in the largest unit
// that still reads as a number of them.
#include <gtest/gtest.h>

#include "app/ClockText.h"

namespace {

TEST(ClockText, DifferencesInTheirUnits) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "the same as this computer's"},
      {-1, "the same as this computer's"},
      {2, "2 s ahead of this computer"},
      {-119, "119 s behind this computer"},
      {120, "2 min ahead of this computer"},
      {-7199, "119 min behind this computer"},
      {7200, "2 h ahead of this computer"},
      {47 * 3600 + 3599, "47 h ahead of this computer"},
      {-48 * 3600, "2 days behind this computer"},
  };
  for (const auto& [ahead, text] : cases) EXPECT_EQ(ClockDifference(ahead), text) << ahead;
}

TEST(ClockText, TheLineShowsTheClockAsItStands) {
  CameraFacts facts;
  EXPECT_EQ(ClockLine(facts), "clock: not read");
  facts.clock_read = true;
  facts.clock = 992099852;
  facts.clock_ahead = 90;
  EXPECT_EQ(ClockLine(facts), "clock: 2001-06-09 15:17:32, 90 s ahead of this computer");
  EXPECT_EQ(ClockTime(992099852, true), "2001-06-09T15:17:32");
}

}  // namespace
