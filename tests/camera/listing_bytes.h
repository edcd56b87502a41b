// Listing data as a camera sends it, and a way to hand exactly those bytes to code under
// test so that any read past their end faults at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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
class GuardedBytes {
 public:
  explicit GuardedBytes(const std::vector<uint8_t>& bytes);
  ~GuardedBytes();
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  unsigned char* Data() const { return data_; }

 private:
  void* mapping_ = nullptr;
  size_t mapped_ = 0;
  unsigned char* data_ = nullptr;
};

}  // namespace listing_test
