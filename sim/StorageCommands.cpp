// The drive's commands: its name, its listing, its size and free space.
#include "sim/Bytes.h"
#include "sim/CommandHandlers.h"

namespace sim {

namespace {

constexpr size_t kDiskReplySize = 92;
constexpr size_t kDiskTotalAt = 84;
constexpr size_t kDiskFreeAt = 88;
constexpr uint8_t kWholeTree = 0x02;
constexpr uint8_t kOneLevel = 0x00;

}  // namespace

Answer FlashDeviceName(const CommandBlock& block, CameraContent& content, const StatusWords&,
                       std::string* problem) {
  if (!CheckNoPayload(block, "flash device name", problem)) return std::nullopt;
  std::vector<uint8_t> name(content.drive.begin(), content.drive.end());
  name.push_back(0);
  return Reply(MakeDataReply(name));
}

// Payload: the flag (0x02 the whole tree from the path, 0x00 one level), the path, its NUL,
// two zero bytes.
Answer DirectoryListing(const CommandBlock& block, CameraContent& content, const StatusWords&,
                        std::string* problem) {
  std::optional<std::string> path = PayloadText(block, 1);
  const std::vector<uint8_t>& payload = block.payload;
  if (payload.empty() || (payload[0] != kWholeTree && payload[0] != kOneLevel) || !path ||
      payload.size() != path->size() + 4 || payload[path->size() + 2] != 0 ||
      payload[path->size() + 3] != 0) {
    *problem = "malformed directory listing payload";
    return std::nullopt;
  }
  if (payload[0] == kOneLevel) {
    *problem = "directory listing of one level (flag 0x00)";
    std::optional<std::vector<uint8_t>> listing = content.FolderListing(*path);
    if (listing) return Reply(MakeDataReply(*listing));
  } else if (*path == content.drive) {
    return Reply(MakeDataReply(content.Listing()));
  }
  *problem = "listing asked for \"" + *path + "\", which the camera does not hold";
  return Reply(MakeDataReply({}));
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
