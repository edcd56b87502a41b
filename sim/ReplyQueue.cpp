#include "sim/ReplyQueue.h"

#include <algorithm>
#include <cstring>

#include "sim/Bytes.h"

namespace sim {

void Reply::Misstate(int32_t delta) {
  if (bytes_.size() < 10) return;
  PutLittle32(&bytes_[6], ReadLittle32(&bytes_[6]) + uint32_t(delta));
}

size_t Reply::Copy(size_t position, uint8_t* out, size_t length) const {
  size_t n = std::min(length, Size() - position);
  size_t from_bytes = position < bytes_.size() ? std::min(n, bytes_.size() - position) : 0;
  if (from_bytes != 0) std::memcpy(out, bytes_.data() + position, from_bytes);
  if (n > from_bytes)
    file_.Read(uint32_t(position + from_bytes - bytes_.size()), out + from_bytes, n - from_bytes);
  return n;
}

void ReplyQueue::Add(Reply reply) {
  if (reply.Size() == 0) return;
  pending_ += reply.Size();
  replies_.push_back(std::move(reply));
}

size_t ReplyQueue::Take(uint8_t* out, size_t length) {
  size_t done = 0;
  while (done < length && !replies_.empty()) {
    const Reply& front = replies_.front();
    size_t n = front.Copy(taken_, out + done, length - done);
    taken_ += n;
    done += n;
    if (taken_ == front.Size()) {
      replies_.pop_front();
      taken_ = 0;
    }
  }
  pending_ -= done;
  return done;
}

void ReplyQueue::Clear() {
  replies_.clear();
  taken_ = 0;
  pending_ = 0;
}

}  // namespace sim
