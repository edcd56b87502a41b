// The camera's clock, and the two commands other clients send the second group's models at
// the start of a session: what it can do with pictures, and the lock of its keys.
#include <ctime>

#include "sim/Bytes.h"
#include "sim/CommandHandlers.h"

namespace sim {

namespace {

constexpr size_t kGetClockReplySize = 0x60;
constexpr size_t kSetClockReplySize = 0x54;
constexpr size_t kClockAt = 84;
constexpr size_t kSetClockPayload = 12;
constexpr size_t kAbilitiesReplySize = 0x384;
constexpr size_t kLockKeysReplySize = 0x54;

// Only the second group's models know them; to the first they are unknown commands.
Answer StartCommand(const CommandBlock& block, const CameraContent& content, size_t reply_size,
                    const std::string& command, std::string* problem) {
  if (content.info.group != models::Group::kSecond) {
    *problem = "unknown command " + std::to_string(block.code) + " of class " +
               std::to_string(block.command_class);
    return std::nullopt;
  }
  if (!CheckNoPayload(block, command, problem)) return std::nullopt;
  *problem = command + " command, which pictrove does not send";
  return Reply(MakeFixedReply(reply_size, block.code, block.command_class, kStatusOk));
}

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

Answer PictureAbilities(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem) {
  return StartCommand(block, content, kAbilitiesReplySize, "get picture abilities", problem);
}

Answer LockKeys(const CommandBlock& block, CameraContent& content, const StatusWords&,
                std::string* problem) {
  return StartCommand(block, content, kLockKeysReplySize, "lock keys", problem);
}

}  // namespace sim
