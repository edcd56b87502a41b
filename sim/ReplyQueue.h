// What the camera has queued on its input pipe, in order. File data is read from its file
// only as the host takes it, so that a generated picture of any size costs no memory.
#pragma once

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "sim/CameraContent.h"

namespace sim {

// One answer: bytes made up front, then the first `file_length` bytes of a file.
class Reply {
 public:
  explicit Reply(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  Reply(std::vector<uint8_t> header, CameraFile file, uint32_t file_length)
      : bytes_(std::move(header)), file_(std::move(file)), file_length_(file_length) {}

  size_t Size() const { return bytes_.size() + file_length_; }
  // Makes a data reply's header give `delta` bytes more (or fewer) than the data it has.
  void Misstate(int32_t delta);
  // Copies at most `length` bytes from `position` on; the number copied.
  size_t Copy(size_t position, uint8_t* out, size_t length) const;

 private:
  std::vector<uint8_t> bytes_;
  CameraFile file_;
  uint32_t file_length_ = 0;
};

class ReplyQueue {
 public:
  void Add(Reply reply);
  // Bytes queued and not yet taken.
  size_t Pending() const { return pending_; }
  // Takes at most `length` bytes, across replies; the number taken.
  size_t Take(uint8_t* out, size_t length);
  void Clear();

 private:
  std::deque<Reply> replies_;
  size_t taken_ = 0;  // bytes of the front reply already taken
  size_t pending_ = 0;
};

}  // namespace sim
