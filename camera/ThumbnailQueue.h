// Decoding the thumbnails of a listing on a thread of its own, so that the next thumbnail
// crosses the bus while the last one is decoded. The records come back complete, in the
// order they were added, on the thread that added them.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "camera/ThumbnailDecoder.h"
#include "kit/ByteStream.h"

class pic_Item;

class ThumbnailQueue {
 public:
  using Done = std::function<void(std::unique_ptr<pic_Item>)>;

  explicit ThumbnailQueue(Done done);
  ~ThumbnailQueue();  // hands over every record first

  ThumbnailQueue(const ThumbnailQueue&) = delete;
  ThumbnailQueue& operator=(const ThumbnailQueue&) = delete;

  // The record gets the bitmap of `thumbnail` (none when it is empty or cannot be decoded).
  // Hands over the records decoded so far; waits while too many are outstanding.
  void Add(std::unique_ptr<pic_Item> record, kit::ByteStream thumbnail, ThumbnailTurn turn);
  // Waits for every record and hands them over.
  void Finish();

 private:
  struct Job {
    std::unique_ptr<pic_Item> record;
    kit::ByteStream thumbnail;
    ThumbnailTurn turn;
  };

  void Work();
  // Hands over the decoded records at the front; with `all`, waits for every one.
  void HandOver(bool all);

  Done done_;
  std::mutex mutex_;
  std::condition_variable work_;     // a job was added, or the queue ends
  std::condition_variable decoded_;  // a job was decoded
  std::deque<Job> jobs_;             // in order; the first `decoded_count_` are done
  size_t decoded_count_ = 0;
  bool ending_ = false;
  std::thread worker_;
};
