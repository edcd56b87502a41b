#include "fuzz/FuzzInput.h"

#include <algorithm>
#include <cstring>

namespace fuzzsupport {

namespace {

// Enough zero-filled reads for pictures of some size.
constexpr int kFillsPerInput = 64;

}  // namespace

void FuzzInput::Reset(const uint8_t* data, size_t size) {
  data_ = data;
  size_ = size;
  at_ = 0;
  fills_ = 0;
}

uint16_t FuzzInput::Word() {
  uint16_t low = Byte();
  return uint16_t(low | Byte() << 8);
}

size_t FuzzInput::Bytes(uint8_t* out, size_t length) {
  size_t n = std::min(length, size_ - std::min(at_, size_));
  if (n != 0) memcpy(out, data_ + at_, n);
  at_ += n;
  return n;
}

std::vector<uint8_t> FuzzInput::Block() {
  std::vector<uint8_t> block(Word());
  block.resize(Bytes(block.data(), block.size()));
  return block;
}

std::string FuzzInput::Text() {
  std::vector<uint8_t> block = Block();
  std::string text(block.begin(), block.end());
  text.resize(strlen(text.c_str()));
  return text;
}

bool FuzzInput::TakeFill() {
  return fills_ < kFillsPerInput && ++fills_;
}

}  // namespace fuzzsupport
