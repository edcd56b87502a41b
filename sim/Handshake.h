// The camera's side of the start-up handshake: a status letter, a challenge whose last 16
// bytes the host must echo, and the check of that echo. Real cameras accept the echo in
// two forms; the one pictrove sends is the 16 bytes alone.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace sim {

constexpr uint32_t kChallengeSize = 88;
constexpr uint32_t kEchoAt = 72;
// The largest transfer the camera takes, which it states in the challenge.
constexpr uint32_t kLargestTransfer = 0x1400;
constexpr uint32_t kLargestTransferAt = 0x4C;
// What a client that finds the camera active reads in place of the echo.
constexpr uint32_t kActiveAnswerSize = 0x50;

class Handshake {
 public:
  // The first transfer: 'C' when the camera was just woken (the first since a plug), 'A'
  // when it was already active. Any challenge given before is void.
  uint8_t StatusLetter();
  // The second transfer's answer; its last 16 bytes are the challenge to echo.
  std::array<uint8_t, kChallengeSize> Challenge();
  // The third transfer: whether it echoed the challenge. An echo in a form other than
  // pictrove's, or one that does not match, is described in `problem`.
  bool CheckEcho(const uint8_t* data, uint32_t length, std::string* problem);
  // The read that takes the echo's place when the status letter was 'A': the challenge's
  // first 0x50 bytes, the largest transfer among them; none when the letter was not 'A'.
  std::optional<std::array<uint8_t, kActiveAnswerSize>> ActiveAnswer();
  // Plugged in again: asleep, no challenge.
  void Reset();

  std::optional<bool> EchoMatched() const { return echo_matched_; }
  int Completed() const { return completed_; }

 private:
  bool awake_ = false;
  bool found_active_ = false;  // the last status letter was 'A'

  std::optional<std::array<uint8_t, 16>> challenge_;
  std::optional<bool> echo_matched_;
  int completed_ = 0;
  uint32_t challenges_ = 0;
};

}  // namespace sim
