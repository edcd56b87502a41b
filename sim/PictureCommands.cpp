// The commands on one file: its data (the whole file of any kind, or a JPEG picture's
// thumbnail), its attribute byte, its removal.
#include <algorithm>

#include "kit/JpegSegments.h"
#include "sim/Bytes.h"
#include "sim/CommandHandlers.h"

namespace sim {

namespace {

constexpr uint32_t kThumbnail = 1;
constexpr uint32_t kWholeFile = 0;
constexpr uint32_t kPictureChunk = 0x1400;
constexpr size_t kStatusReplySize = 84;
// How far into a file the segments up to the end of the thumbnail's can reach; a
// generated file is read no further to find it.
constexpr size_t kThumbnailSearch = 1 << 20;
// Where the search starts: a camera's EXIF segment, thumbnail and all, ends well before.
constexpr size_t kFirstThumbnailSearch = 16 << 10;

Answer StatusReply(const CommandBlock& block, uint32_t status) {
  return Reply(MakeFixedReply(kStatusReplySize, block.code, block.command_class, status));
}

std::string NotHeld(const char* command, const std::string& path) {
  return std::string(command) + " of \"" + path + "\", which the camera does not hold";
}

// What the camera notes besides: a trailing NUL that pictrove does not send.
void NotePadding(bool padded, const char* command, std::string* problem) {
  if (padded) *problem = std::string(command) + " payload with a trailing NUL after the name";
}

// The length of the thumbnail reply: the head is read four times further each time its
// segments run past it, so that a large picture is not copied for every thumbnail.
uint32_t ThumbnailLength(const CameraFile& file) {
  for (size_t limit = kFirstThumbnailSearch;; limit *= 4) {
    std::vector<uint8_t> head = file.Head(limit);
    std::vector<kit::JpegSegment> segments = kit::HeadSegments(head);
    bool exif_found = std::any_of(
        segments.begin(), segments.end(),
        [](const kit::JpegSegment& segment) { return segment.marker == kit::kApp1Marker; });
    if (exif_found || head.size() < limit || limit >= kThumbnailSearch)
      return uint32_t(kit::ThumbnailReplyLength(head, segments));
  }
}

}  // namespace

// Payload: what to send (1 thumbnail, 0 the file), 0x1400, the path and its NUL. Only a JPEG
// picture has a thumbnail: asked of any other file, the command is refused as it is for a
// path that holds nothing.
Answer PictureData(const CommandBlock& block, CameraContent& content, const StatusWords& status,
                   std::string* problem) {
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
  // What a real camera answers here is unknown: an error status says the request was wrong,
  // and the log says so too.
  if (what == kThumbnail && !IsPictureName(file->name)) {
    *problem = "thumbnail of \"" + *path + "\", which is not a JPEG picture";
    return StatusReply(block, status.no_picture);
  }
  uint32_t length = what == kThumbnail ? ThumbnailLength(*file) : file->Size();
  return Reply(DataReplyHeader(length), *file, length);
}

// Payload: the attribute byte, three zero bytes, the path split at its last backslash.
Answer SetAttributes(const CommandBlock& block, CameraContent& content, const StatusWords& status,
                     std::string* problem) {
  const std::vector<uint8_t>& payload = block.payload;
  bool padded = false;
  std::optional<std::string> path = PayloadPath(block, 4, &padded);
  if (!path || (payload[1] | payload[2] | payload[3]) != 0) {
    *problem = "malformed set picture attributes payload";
    return std::nullopt;
  }
  NotePadding(padded, "set picture attributes", problem);
  CameraFile* file = content.Find(*path);
  if (file == nullptr) {
    *problem = NotHeld("set picture attributes", *path);
    return StatusReply(block, status.no_picture);
  }
  file->attributes = payload[0];
  return StatusReply(block, status.attributes_set);
}

// Payload: the path split at its last backslash. A protected picture stays.
Answer DeletePicture(const CommandBlock& block, CameraContent& content, const StatusWords& status,
                     std::string* problem) {
  bool padded = false;
  std::optional<std::string> path = PayloadPath(block, 0, &padded);
  if (!path) {
    *problem = "malformed delete picture payload";
    return std::nullopt;
  }
  NotePadding(padded, "delete picture", problem);
  const CameraFile* file = content.Find(*path);
  if (file == nullptr) {
    *problem = NotHeld("delete picture", *path);
    return StatusReply(block, status.no_picture);
  }
  if (file->attributes & kAttributeProtected) return StatusReply(block, status.delete_refused);
  content.Remove(*path);
  return StatusReply(block, padded ? status.deleted_padded : status.deleted);
}

}  // namespace sim
