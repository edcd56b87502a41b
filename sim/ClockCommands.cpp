// The camera's clock, which runs with real time and is set in the camera's local seconds.
#include <ctime>

#include "sim/Bytes.h"
#include "sim/CommandHandlers.h"

namespace sim {

namespace {

constexpr size_t kGetClockReplySize = 0x60;
constexpr size_t kSetClockReplySize = 0x54;
constexpr size_t kClockAt = 84;
constexpr size_t kSetClockPayload = 12;

}  // namespace

int64_t CameraInfo::ClockNow() const {
  return int64_t(std::time(nullptr)) + clock_ahead;
}

Answer GetClock(const CommandBlock& block, CameraContent& content, const StatusWords&,
                std::string* problem) {
  if (!CheckNoPayload(block, "get clock", problem)) return std::nullopt;
  std::vector<uint8_t> reply =
      MakeFixedReply(kGetClockReplySize, block.code, block.command_class, kStatusOk);
  PutLittle32(&reply[kClockAt], uint32_t(content.info.ClockNow()));
  return Reply(std::move(reply));
}

// Payload: the time in the camera's local seconds, eight zero bytes.
Answer SetClock(const CommandBlock& block, CameraContent& content, const StatusWords&,
                std::string* problem) {
  const std::vector<uint8_t>& payload = block.payload;
  if (payload.size() != kSetClockPayload || ReadLittle32(&payload[4]) != 0 ||
      ReadLittle32(&payload[8]) != 0) {
    *problem = "malformed set clock payload";
    return std::nullopt;
  }
  content.info.clock_ahead = int64_t(ReadLittle32(&payload[0])) - int64_t(std::time(nullptr));
  return Reply(MakeFixedReply(kSetClockReplySize, block.code, block.command_class, kStatusOk));
}

}  // namespace sim
