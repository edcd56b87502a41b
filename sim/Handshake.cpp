#include "sim/Handshake.h"

#include <algorithm>
#include <utility>

#include "sim/Bytes.h"

namespace sim {

namespace {

constexpr uint8_t kWoken = 'C';
constexpr uint8_t kActive = 'A';
constexpr uint32_t kEchoSize = 16;
// The other echo form: a block whose first word is the echo's size, zeros up to 64, then
// the echo.
constexpr uint32_t kEchoBlockSize = 80;
constexpr uint32_t kEchoBlockAt = 64;

bool IsEchoBlock(const uint8_t* data, uint32_t length) {
  return length == kEchoBlockSize && ReadLittle32(data) == kEchoSize &&
         std::all_of(data + 4, data + kEchoBlockAt, [](uint8_t b) { return b == 0; });
}

}  // namespace

uint8_t Handshake::StatusLetter() {
  challenge_.reset();
  uint8_t letter = awake_ ? kActive : kWoken;
  found_active_ = awake_;
  awake_ = true;
  return letter;
}

std::array<uint8_t, kChallengeSize> Handshake::Challenge() {
  std::array<uint8_t, kChallengeSize> answer;
  for (uint32_t i = 0; i < kEchoAt; ++i) answer[i] = uint8_t(i + 1);
  // Bytes of the camera's own making that vary from one handshake to the next, so that
  // an echo of anything else is noticed; the transfer size among them stays.
  for (uint32_t i = kEchoAt; i < kChallengeSize; ++i) {
    answer[i] = uint8_t(0xA0 + 5 * (i - kEchoAt) + 31 * challenges_);
    if (answer[i] == 0) answer[i] = 0x5A;
  }
  PutLittle32(&answer[kLargestTransferAt], kLargestTransfer);
  challenge_.emplace();
  std::copy(answer.begin() + kEchoAt, answer.end(), challenge_->begin());
  ++challenges_;
  return answer;
}

bool Handshake::CheckEcho(const uint8_t* data, uint32_t length, std::string* problem) {
  const uint8_t* echo = length == kEchoSize ? data : nullptr;
  if (IsEchoBlock(data, length)) {
    echo = data + kEchoBlockAt;
    *problem = "handshake echo sent as an 80-byte block";
  }
  echo_matched_ =
      challenge_ && echo != nullptr && std::equal(challenge_->begin(), challenge_->end(), echo);
  challenge_.reset();
  if (!*echo_matched_) {
    *problem = "handshake echo does not match the challenge";
    return false;
  }
  ++completed_;
  return true;
}

std::optional<std::array<uint8_t, kActiveAnswerSize>> Handshake::ActiveAnswer() {
  if (!std::exchange(found_active_, false)) return std::nullopt;
  std::array<uint8_t, kChallengeSize> challenge = Challenge();
  challenge_.reset();
  std::array<uint8_t, kActiveAnswerSize> answer;
  std::copy_n(challenge.begin(), kActiveAnswerSize, answer.begin());
  return answer;
}

void Handshake::Reset() {
  awake_ = false;
  found_active_ = false;
  challenge_.reset();
}

}  // namespace sim
