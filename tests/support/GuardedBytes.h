// Bytes at the very end of a readable page whose next page is not readable, so that code
// under test that reads or writes past their end faults at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

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

}  // namespace testsupport
