// The drive's commands: its name, its listing, its size and free space.
#include "sim/Bytes.h"
#include "sim/CommandHandlers.h"

namespace sim {

namespace {

constexpr size_t kDiskReplySize = 92;
constexpr size_t kDiskTotalAt = 84;
constexpr size_t kDiskFreeAt = 88;

}  // namespace

Answer FlashDeviceName(const CommandBlock& block, CameraContent& content, const StatusWords&,
                       std::string* problem) {
  if (!CheckNoPayload(block, "flash device name", problem)) return std::nullopt;
  std::vector<uint8_t> name(content.drive.begin(), content.drive.end());
  name.push_back(0);
  return Reply(MakeDataReply(name));
}

// Payload: 0x02, the path, its NUL, two zero bytes.
Answer DirectoryListing(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem) {
  std::optional<std::string> path = PayloadText(block, 1);
  const std::vector<uint8_t>& payload = block.payload;
  if (payload.empty() || payload[0] != 0x02 || !path || payload.size() != path->size() + 4 ||
      payload[path->size() + 2] != 0 || payload[path->size() + 3] != 0) {
    *problem = "malformed directory listing payload";
    return std::nullopt;
  }
  if (*path != content.drive) {
    *problem = "listing asked for \"" + *path + "\", which the camera does not hold";
    return Reply(MakeDataReply({}));
  }
  return Reply(MakeDataReply(content.Listing()));
}

// Payload: the drive name, a backslash, a NUL.
Answer DiskInformation(const CommandBlock& block, CameraContent& content, const StatusWords&,
                       std::string* problem) {
  std::optional<std::string> text = PayloadText(block, 0);
  if (!text || text->size() + 1 != block.payload.size() || text->size() < 2 ||
      !text->ends_with('\\')) {
    *problem = "malformed disk information payload";
    return std::nullopt;
  }
  std::string drive = text->substr(0, text->size() - 1);
  if (drive != content.drive) {
    *problem = "disk information asked for \"" + drive + "\", which the camera does not hold";
    return std::nullopt;
  }
  std::vector<uint8_t> reply =
      MakeFixedReply(kDiskReplySize, block.code, block.command_class, kStatusOk);
  PutLittle32(&reply[kDiskTotalAt], content.info.disk_total);
  PutLittle32(&reply[kDiskFreeAt], content.info.disk_free);
  return Reply(std::move(reply));
}

}  // namespace sim
