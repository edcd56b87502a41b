#include "camera/ThumbnailQueue.h"

#include <vector>

#include "app/pic_Item.h"

namespace {

// Enough to ride out a slow decode; few enough that a listing's thumbnails do not pile up.
constexpr size_t kMostOutstanding = 8;

}  // namespace

ThumbnailQueue::ThumbnailQueue(Done done) : done_(std::move(done)), worker_([this] { Work(); }) {}

ThumbnailQueue::~ThumbnailQueue() {
  Finish();
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  work_.notify_one();
  worker_.join();
}

void ThumbnailQueue::Add(std::unique_ptr<pic_Item> record, kit::ByteStream thumbnail,
                         ThumbnailTurn turn) {
  HandOver(false);
  {
    std::unique_lock lock(mutex_);
    decoded_.wait(lock, [this] { return jobs_.size() - decoded_count_ < kMostOutstanding; });
    jobs_.push_back({std::move(record), std::move(thumbnail), turn});
  }
  work_.notify_one();
}

void ThumbnailQueue::Finish() {
  HandOver(true);
}

void ThumbnailQueue::HandOver(bool all) {
  std::vector<std::unique_ptr<pic_Item>> ready;
  {
    std::unique_lock lock(mutex_);
    if (all) decoded_.wait(lock, [this] { return decoded_count_ == jobs_.size(); });
    for (; decoded_count_ > 0; --decoded_count_) {
      ready.push_back(std::move(jobs_.front().record));
      jobs_.pop_front();
    }
  }
  for (auto& record : ready) done_(std::move(record));
}

void ThumbnailQueue::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return ending_ || decoded_count_ < jobs_.size(); });
    if (decoded_count_ == jobs_.size()) return;  // ending, with nothing left to decode
    // Only this thread touches a job past the decoded ones, and a deque keeps its
    // elements in place while others are added or taken from the front.
    Job& job = jobs_[decoded_count_];
    lock.unlock();
    job.record->set_Bitmap(DecodeThumbnail(job.thumbnail.Data(), job.thumbnail.Size(), job.turn));
    job.thumbnail = kit::ByteStream();
    lock.lock();
    ++decoded_count_;
    decoded_.notify_all();
  }
}
