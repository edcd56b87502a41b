// The two commands other clients send the second group's models at the start of a session:
// what the camera can do with pictures, and the lock of its keys.
#include "sim/CommandHandlers.h"

namespace sim {

namespace {

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

Answer PictureAbilities(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem) {
  return StartCommand(block, content, kAbilitiesReplySize, "get picture abilities", problem);
}

Answer LockKeys(const CommandBlock& block, CameraContent& content, const StatusWords&,
                std::string* problem) {
  return StartCommand(block, content, kLockKeysReplySize, "lock keys", problem);
}

}  // namespace sim
