// The camera's side of a picture upload. Each chunk is announced on the control pipe (64
// bytes that give the size of the data block to come) and answered, then comes as a data
// block on the bulk output pipe and is answered again. The chunks, at rising offsets,
// make the file at the path the blocks name; a block at offset 0 starts it afresh.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/CameraContent.h"
#include "sim/ReplyQueue.h"

namespace sim {

constexpr uint32_t kAnnouncementSize = 64;
constexpr uint32_t kLargestUploadChunk = 768;

class UploadReceiver {
 public:
  // A control transfer taken for an announcement: its answer, or none with the reason in `problem`.
  std::optional<Reply> Announce(const uint8_t* data, uint32_t length, std::string* problem);
  bool Expecting() const { return announced_.has_value(); }
  // Whether a data block was announced and has not come; it is expected no more.
  bool Interrupt();
  // A data block after its announcement: the answer, the chunk now in the content; none
  // with the reason in `problem` when the block is not the one announced, is malformed,
  // or does not continue the upload.
  std::optional<Reply> Receive(const uint8_t* data, uint32_t length, CameraContent& content,
                               std::string* problem);
  // Forgets the announcement and the upload in progress.
  void Reset();

 private:
  bool Store(const std::string& path, uint32_t offset, const uint8_t* chunk, uint32_t n,
             CameraContent& content, std::string* problem);

  std::optional<uint32_t> announced_;
  std::string path_;  // of the upload in progress
};

}  // namespace sim
