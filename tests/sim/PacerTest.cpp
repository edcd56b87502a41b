#include "sim/Pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = sim::Pacer::Clock;

struct Issue {
  Clock::duration at;  // after the first transfer was issued
  uint64_t bytes;
  Clock::duration done;  // when the pacer says it is complete
};

struct PacerCase {
  const char* name;
  uint64_t rate;
  std::vector<Issue> transfers;
};

// At 1000 bytes a second, a byte is a millisecond.
const PacerCase kCases[] = {
    {"OneTransferTakesItsWireTime", 1000, {{0ms, 100, 100ms}}},
    {"IdleTimeIsLostNotBanked", 1000, {{0ms, 100, 100ms}, {1000ms, 100, 1100ms}}},
    {"BackToBackTransfersFlowInTurn", 1000, {{0ms, 100, 100ms}, {100ms, 50, 150ms}}},
    {"ATransferIssuedWhileTheBusIsBusyWaitsForIt", 1000, {{0ms, 100, 100ms}, {20ms, 50, 150ms}}},
    {"AGapBetweenTransfersIsNotMadeUpLater",
     1000,
     {{0ms, 100, 100ms}, {300ms, 100, 400ms}, {400ms, 100, 500ms}}},
    {"ZeroBytesCompleteWhenIssuedOnAFreeBus", 1000, {{0ms, 0, 0ms}, {10ms, 0, 10ms}}},
    {"NoRateMeansAtOnce", 0, {{0ms, 1'000'000, 0ms}, {5ms, 1'000'000, 5ms}}},
};

class PacerTest : public testing::TestWithParam<PacerCase> {};

TEST_P(PacerTest, CompletesTransfersWhenTheBusWould) {
  sim::Pacer pacer;
  pacer.SetRate(GetParam().rate);
  Clock::time_point start = Clock::now();
  uint64_t bytes = 0;
  for (const Issue& issue : GetParam().transfers) {
    bytes += issue.bytes;
    EXPECT_EQ(pacer.Charge(issue.bytes, start + issue.at) - start, issue.done)
        << "issued at " << std::chrono::duration_cast<std::chrono::milliseconds>(issue.at).count()
        << " ms";
  }
  EXPECT_EQ(pacer.Charged(), GetParam().rate == 0 ? 0 : bytes);
}

INSTANTIATE_TEST_SUITE_P(Pacer, PacerTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Pacer, ANewRateFreesTheBus) {
  sim::Pacer pacer;
  pacer.SetRate(1000);
  Clock::time_point start = Clock::now();
  pacer.Charge(1000, start);
  pacer.SetRate(2000);
  EXPECT_EQ(pacer.Charged(), 0u);
  EXPECT_EQ(pacer.Charge(100, start) - start, 50ms);
}

}  // namespace
