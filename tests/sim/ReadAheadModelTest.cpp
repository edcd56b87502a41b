#include "sim/ReadAheadModel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "sim/Pacer.h"

namespace {

using namespace std::chrono_literals;
using Clock = sim::Pacer::Clock;

constexpr uint8_t kIn = 0x81;

// A host that takes 30 ms over each 100-byte piece of a 500-byte reply at 1000 bytes a
// second (a byte a millisecond): the moments the pieces complete.
std::vector<Clock::duration> Completions(bool ahead, bool fail_second = false) {
  sim::Pacer pacer;
  pacer.SetRate(1000);
  sim::ReadAheadModel model;
  Clock::time_point start = Clock::now();
  if (ahead) model.Start(kIn, 500, 100, start);
  std::vector<Clock::duration> done;
  Clock::time_point asked = start;
  for (int piece = 0; piece < 5; ++piece) {
    Clock::time_point complete = pacer.Charge(100, model.Issued(kIn, asked));
    done.push_back(complete - start);
    model.HandedOver(kIn, !(fail_second && piece == 1), complete);
    asked = complete + 30ms;
  }
  return done;
}

TEST(ReadAheadModel, TheBusCarriesTheNextPiecesWhileTheHostHandlesTheLast) {
  EXPECT_EQ(Completions(false), (std::vector<Clock::duration>{100ms, 230ms, 360ms, 490ms, 620ms}));
  EXPECT_EQ(Completions(true), (std::vector<Clock::duration>{100ms, 200ms, 300ms, 400ms, 500ms}));
  // A failed piece ends it: the pieces after it are asked for one by one.
  EXPECT_EQ(Completions(true, true),
            (std::vector<Clock::duration>{100ms, 200ms, 330ms, 460ms, 590ms}));
}

TEST(ReadAheadModel, OnlyTheAnnouncedBytesOnTheirEndpointAreInFlight) {
  sim::ReadAheadModel model;
  Clock::time_point start = Clock::now();
  model.Start(kIn, 250, 100, start);  // three pieces, the last of 50 bytes
  EXPECT_EQ(model.Issued(0x82, start + 5ms), start + 5ms);
  model.HandedOver(0x82, true, start + 6ms);
  for (int piece = 0; piece < 3; ++piece) EXPECT_EQ(model.Issued(kIn, start + 10ms), start);
  EXPECT_EQ(model.Issued(kIn, start + 20ms), start + 20ms);  // past the reply: on demand
  model.Start(kIn, 1000, 100, start);
  model.End();
  EXPECT_EQ(model.Issued(kIn, start + 30ms), start + 30ms);
}

}  // namespace
