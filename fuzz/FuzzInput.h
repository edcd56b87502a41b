// The bytes of one fuzz input, taken from the front as a target and its camera need them.
// Past the end every byte reads as 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzsupport {

class FuzzInput {
 public:
  void Reset(const uint8_t* data, size_t size);
  bool Empty() const { return at_ >= size_; }
  uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
  // A 16-bit little-endian number.
  uint16_t Word();
  // Up to `length` bytes; fewer when the input ends.
  size_t Bytes(uint8_t* out, size_t length);
  // A 16-bit little-endian length and that many bytes (fewer when the input ends).
  std::vector<uint8_t> Block();
  // A block up to its first NUL: the commands take C texts.
  std::string Text();
  // Whether another read may be answered with zeros that the input does not pay for: a
  // few only, so that no input writes much to the disk.
  bool TakeFill();

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t at_ = 0;
  int fills_ = 0;
};

}  // namespace fuzzsupport
