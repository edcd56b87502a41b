#include "sim/CameraCommands.h"

#include <cstdio>

#include "sim/CommandHandlers.h"

namespace sim {

namespace {

using Handler = Answer (*)(const CommandBlock&, CameraContent&, const StatusWords&, std::string*);

struct Command {
  uint8_t code;
  uint8_t command_class;
  uint32_t request_word;
  uint32_t tag;
  const char* name;
  Handler handler;
};

const Command kCommands[] = {
    {1, 0x11, kDataReply, kCommandTag, "picture data", PictureData},
    {1, 0x12, kFixedSizeReply, kCommandTag, "camera identification", Identification},
    {3, 0x12, kFixedSizeReply, kCommandTag, "get clock", GetClock},
    {4, 0x12, kFixedSizeReply, kCommandTag, "set clock", SetClock},
    {5, 0x12, kFixedSizeReply, kCommandTag, "set owner name", SetOwnerName},
    {9, 0x11, kFixedSizeReply, kCommandTag, "disk information", DiskInformation},
    {10, 0x11, kDataReply, kCommandTag, "flash device name", FlashDeviceName},
    {10, 0x12, kFixedSizeReply, kCommandTag, "power information", PowerInformation},
    {11, 0x11, kDataReply, kListingTag, "directory listing", DirectoryListing},
    {13, 0x11, kFixedSizeReply, kCommandTag, "delete picture", DeletePicture},
    {14, 0x11, kFixedSizeReply, kCommandTag, "set picture attributes", SetAttributes},
    {0x1F, 0x12, kFixedSizeReply, kCommandTag, "get picture abilities", PictureAbilities},
    {0x20, 0x12, kFixedSizeReply, kCommandTag, "lock keys", LockKeys},
};

std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace

std::optional<Reply> AnswerCommand(const CommandBlock& block, CameraContent& content,
                                   const StatusWords& status, std::string* problem) {
  for (const Command& command : kCommands) {
    if (command.code != block.code || command.command_class != block.command_class) continue;
    if (block.request_word != command.request_word) {
      *problem = std::string(command.name) + " command with the wrong request word";
      return std::nullopt;
    }
    std::optional<Reply> reply = command.handler(block, content, status, problem);
    // Cameras answer whatever the tag (clients count it up); only pictrove's is expected.
    if (block.tag != command.tag)
      *problem = std::string(command.name) + " command with the tag word " + Hex(block.tag) +
                 (problem->empty() ? "" : "; " + *problem);
    return reply;
  }
  *problem = "unknown command " + std::to_string(block.code) + " of class " +
             std::to_string(block.command_class);
  return std::nullopt;
}

}  // namespace sim
