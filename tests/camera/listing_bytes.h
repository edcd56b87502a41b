// Listing data as a camera sends it, and a way to hand exactly those bytes to code under
// test so that any read past their end faults at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/GuardedBytes.h"

namespace listing_test {

struct Entry {
  uint8_t attributes = 0;
  uint32_t size = 0;
  uint32_t date = 0;
  std::string name;
};

// The entries one after the other, then the end entry unless `terminated` is false.
std::vector<uint8_t> EncodeListing(const std::vector<Entry>& entries, bool terminated = true);

// The example tree: D:, .\DCIM, .\112CANON, IMG_1205.JPG, .., ..
std::vector<Entry> ExampleTree();

// Copies bytes to the very end of a readable page whose next page is not readable.
using testsupport::GuardedBytes;

}  // namespace listing_test
