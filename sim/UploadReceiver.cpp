#include "sim/UploadReceiver.h"

#include <algorithm>
#include <ctime>

#include "sim/Bytes.h"
#include "sim/CommandBlock.h"

namespace sim {

namespace {

constexpr uint8_t kUploadCode = 0x03;
constexpr uint8_t kUploadClass = 0x11;
constexpr uint32_t kPathAt = 92;
// The block's fixed part, a path of one character with its NUL, one file byte.
constexpr uint32_t kSmallestBlock = kPathAt + 3;
constexpr size_t kBlockAnswerSize = 92;
// The answer to a data block the card has no room for.
constexpr uint32_t kStatusDiskFull = 0x02000089;

bool ZeroBetween(const uint8_t* bytes, size_t from, size_t to) {
  return std::all_of(bytes + from, bytes + to, [](uint8_t b) { return b == 0; });
}

// The fixed bytes of a data block of `length` bytes (at least the smallest block).
bool BlockFrameFits(const uint8_t* data, uint32_t length) {
  uint16_t block_length = ReadLittle16(data);
  return block_length + 64u == length && ReadLittle16(data + 72) == block_length &&
         data[4] == 0x03 && data[5] == 0x04 && data[64] == 0x02 && data[68] == kUploadCode &&
         data[71] == kUploadClass && ReadLittle32(data + 76) == kCommandTag && data[80] == 0x02 &&
         ZeroBetween(data, 2, 4) && ZeroBetween(data, 6, 64) && ZeroBetween(data, 65, 68) &&
         ZeroBetween(data, 69, 71) && ZeroBetween(data, 74, 76) && ZeroBetween(data, 81, 84) &&
         ZeroBetween(data, 90, 92);
}

}  // namespace

std::optional<Reply> UploadReceiver::Announce(const uint8_t* data, uint32_t length,
                                              std::string* problem) {
  uint32_t size = length == kAnnouncementSize ? ReadLittle16(data + 6) : 0;
  if (size < kSmallestBlock || data[4] != 0x03 || data[5] != 0x02 || !ZeroBetween(data, 0, 4) ||
      !ZeroBetween(data, 8, kAnnouncementSize)) {
    *problem = "malformed upload announcement";
    return std::nullopt;
  }
  announced_ = size;
  // The camera acknowledges by sending the announcement back.
  return Reply(std::vector<uint8_t>(data, data + length));
}

bool UploadReceiver::Interrupt() {
  bool was = announced_.has_value();
  announced_.reset();
  return was;
}

std::optional<Reply> UploadReceiver::Receive(const uint8_t* data, uint32_t length,
                                             CameraContent& content, std::string* problem) {
  uint32_t announced = announced_.value_or(0);  // 0 fits no block
  announced_.reset();
  if (length != announced) {
    *problem = "upload data block of " + std::to_string(length) + " bytes, " +
               std::to_string(announced) + " announced";
    return std::nullopt;
  }
  const uint8_t* path_end = std::find(data + kPathAt, data + length, 0);
  uint32_t path_length = uint32_t(path_end - (data + kPathAt));
  uint32_t n = ReadLittle16(data + 88);
  if (!BlockFrameFits(data, length) || path_end == data + length || path_length == 0 ||
      kPathAt + path_length + 1 + n != length || n == 0 || n > kLargestUploadChunk) {
    *problem = "malformed upload data block";
    return std::nullopt;
  }
  std::string path(data + kPathAt, path_end);
  // A full card refuses the chunk (a well-formed request, so no problem); what came before
  // stays for the host to delete.
  if (n > content.info.disk_free)
    return Reply(MakeFixedReply(kBlockAnswerSize, kUploadCode, kUploadClass, kStatusDiskFull));
  if (!Store(path, ReadLittle32(data + 84), path_end + 1, n, content, problem)) return std::nullopt;
  content.info.disk_free -= n;
  return Reply(MakeFixedReply(kBlockAnswerSize, kUploadCode, kUploadClass, 0));
}

bool UploadReceiver::Store(const std::string& path, uint32_t offset, const uint8_t* chunk,
                           uint32_t n, CameraContent& content, std::string* problem) {
  CameraFile* file = nullptr;
  if (offset == 0) {
    file = content.Create(path, uint32_t(std::time(nullptr)));
    path_ = file != nullptr ? path : std::string();
  } else if (path == path_) {
    file = content.Find(path);
  }
  if (offset == 0 && file == nullptr) {
    *problem = "upload to \"" + path + "\", which is no place on the camera";
    return false;
  }
  if (file == nullptr || file->Size() != offset) {
    *problem = "upload chunk at offset " + std::to_string(offset) + " of \"" + path +
               "\" does not continue an upload";
    return false;
  }
  file->bytes.insert(file->bytes.end(), chunk, chunk + n);
  return true;
}

void UploadReceiver::Reset() {
  announced_.reset();
  path_.clear();
}

}  // namespace sim
