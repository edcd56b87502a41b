#include "sim/CameraCommands.h"

#include "sim/Bytes.h"
#include "sim/JpegSegments.h"

namespace sim {

namespace {

using Answer = std::optional<std::vector<uint8_t>>;
using Handler = Answer (*)(const CommandBlock&, CameraContent&, std::string*);

constexpr uint32_t kThumbnail = 1;
constexpr uint32_t kWholeFile = 0;
constexpr uint32_t kPictureChunk = 0x1400;

Answer FlashDeviceName(const CommandBlock& block, CameraContent& content, std::string* problem) {
  if (!block.payload.empty()) {
    *problem = "flash device name command with a payload";
    return std::nullopt;
  }
  std::vector<uint8_t> name(content.drive.begin(), content.drive.end());
  name.push_back(0);
  return MakeDataReply(name);
}

// Payload: 0x02, the path, its NUL, two zero bytes.
Answer DirectoryListing(const CommandBlock& block, CameraContent& content, std::string* problem) {
  std::optional<std::string> path = PayloadText(block, 1);
  const std::vector<uint8_t>& payload = block.payload;
  if (payload.empty() || payload[0] != 0x02 || !path || payload.size() != path->size() + 4 ||
      payload[path->size() + 2] != 0 || payload[path->size() + 3] != 0) {
    *problem = "malformed directory listing payload";
    return std::nullopt;
  }
  if (*path != content.drive) {
    *problem = "listing asked for \"" + *path + "\", which the camera does not hold";
    return MakeDataReply({});
  }
  return MakeDataReply(content.Listing());
}

// Payload: what to send (1 thumbnail, 0 the file), 0x1400, the path and its NUL.
Answer PictureData(const CommandBlock& block, CameraContent& content, std::string* problem) {
  const std::vector<uint8_t>& payload = block.payload;
  std::optional<std::string> path = PayloadText(block, 8);
  uint32_t what = payload.size() >= 8 ? ReadLittle32(&payload[0]) : ~0u;
  if (!path || payload.size() != path->size() + 9 || (what != kThumbnail && what != kWholeFile) ||
      ReadLittle32(&payload[4]) != kPictureChunk) {
    *problem = "malformed picture data payload";
    return std::nullopt;
  }
  const CameraFile* file = content.Find(*path);
  if (file == nullptr) {
    *problem = "no picture at \"" + *path + "\"";
    return std::nullopt;
  }
  size_t length = what == kThumbnail ? ThumbnailReplyLength(file->bytes) : file->bytes.size();
  return MakeDataReply({file->bytes.begin(), file->bytes.begin() + length});
}

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
    {10, 0x11, kDataReply, kCommandTag, "flash device name", FlashDeviceName},
    {11, 0x11, kDataReply, kListingTag, "directory listing", DirectoryListing},
};

}  // namespace

std::optional<std::vector<uint8_t>> AnswerCommand(const CommandBlock& block, CameraContent& content,
                                                  std::string* problem) {
  for (const Command& command : kCommands) {
    if (command.code != block.code || command.command_class != block.command_class) continue;
    if (block.request_word != command.request_word) {
      *problem = std::string(command.name) + " command with the wrong request word";
    } else if (block.tag != command.tag) {
      *problem = std::string(command.name) + " command with the wrong tag word";
    } else {
      return command.handler(block, content, problem);
    }
    return std::nullopt;
  }
  *problem = "unknown command " + std::to_string(block.code) + " of class " +
             std::to_string(block.command_class);
  return std::nullopt;
}

}  // namespace sim
