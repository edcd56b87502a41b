// What the camera tells about itself: its model and owner, its power; and the owner's
// name it is given.
#include <algorithm>

#include "sim/CommandHandlers.h"

namespace sim {

namespace {

constexpr size_t kIdentificationSize = 156;
constexpr size_t kModelAt = 92;
constexpr size_t kOwnerAt = 124;
// The camera keeps the model and the owner in fields of this many bytes, without a
// terminator when the text fills its field.
constexpr size_t kNameField = 32;
constexpr size_t kOwnerReplySize = 84;
constexpr size_t kPowerReplySize = 88;
constexpr size_t kPowerStateAt = 84;
constexpr size_t kPowerSourceAt = 87;
constexpr uint8_t kPowerCritical = 4;
constexpr uint8_t kPowerGood = 6;
constexpr uint8_t kOnAdaptor = 0x10;
constexpr uint8_t kOnBattery = 0x30;

void PutField(std::vector<uint8_t>& reply, size_t at, const std::string& text) {
  std::copy_n(text.begin(), std::min(text.size(), kNameField), reply.begin() + at);
}

}  // namespace

Answer Identification(const CommandBlock& block, CameraContent& content, const StatusWords&,
                      std::string* problem) {
  if (!CheckNoPayload(block, "camera identification", problem)) return std::nullopt;
  std::vector<uint8_t> reply =
      MakeFixedReply(kIdentificationSize, block.code, block.command_class, kStatusOk);
  PutField(reply, kModelAt, content.info.model);
  PutField(reply, kOwnerAt, content.info.owner);
  return Reply(std::move(reply));
}

// Payload: the name's Latin-1 bytes and a NUL.
Answer SetOwnerName(const CommandBlock& block, CameraContent& content, const StatusWords&,
                    std::string* problem) {
  std::optional<std::string> name = PayloadText(block, 0);
  if (!name || name->size() + 1 != block.payload.size() || name->size() > kNameField) {
    *problem = "malformed set owner name payload";
    return std::nullopt;
  }
  content.info.owner = *name;
  return Reply(MakeFixedReply(kOwnerReplySize, block.code, block.command_class, kStatusOk));
}

Answer PowerInformation(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem) {
  if (!CheckNoPayload(block, "power information", problem)) return std::nullopt;
  std::vector<uint8_t> reply =
      MakeFixedReply(kPowerReplySize, block.code, block.command_class, kStatusOk);
  reply[kPowerStateAt] = content.info.power_critical ? kPowerCritical : kPowerGood;
  reply[kPowerSourceAt] = content.info.on_adaptor ? kOnAdaptor : kOnBattery;
  return Reply(std::move(reply));
}

}  // namespace sim
