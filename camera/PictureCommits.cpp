#include "camera/PictureCommits.h"

#include "camera/DownloadFolder.h"
#include "camera/PictureTurn.h"

PictureCommits::~PictureCommits() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void PictureCommits::Add(uint64_t key, std::vector<Part> parts, std::unique_ptr<pic_Item> picture) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return going_.size() < kMostGoing; });
  going_.push_back({key, std::move(parts), std::move(picture)});
  if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
  lock.unlock();
  changed_.notify_all();
}

bool PictureCommits::Naming(const std::string& name) const {
  std::lock_guard<std::mutex> guard(mutex_);
  for (const Job& job : going_)
    for (const Part& part : job.parts)
      if (part.name == name) return true;
  return false;
}

bool PictureCommits::Owing() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return !going_.empty() || !ended_.empty();
}

std::vector<PictureCommits::Ended> PictureCommits::TakeEnded() {
  std::lock_guard<std::mutex> guard(mutex_);
  std::vector<Ended> taken;
  taken.swap(ended_);
  return taken;
}

std::vector<PictureCommits::Ended> PictureCommits::TakeAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return going_.empty(); });
  std::vector<Ended> taken;
  taken.swap(ended_);
  return taken;
}

void PictureCommits::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !going_.empty(); });
    if (going_.empty()) return;
    // Elements of a deque stay where they are while others are added behind them; the names
    // stay with the job for Naming until it has ended.
    Job& job = going_.front();
    std::vector<Part> parts;
    for (Part& part : job.parts) parts.push_back({std::move(part.file), part.name, part.turn});
    std::unique_ptr<pic_Item> picture = std::move(job.picture);
    lock.unlock();
    Ended ended = Commit(std::move(parts), picture.get());
    ended.key = job.key;
    ended.picture = std::move(picture);
    lock.lock();
    ended_.push_back(std::move(ended));
    going_.pop_front();
    changed_.notify_all();
  }
}

PictureCommits::Ended PictureCommits::Commit(std::vector<Part> parts, pic_Item* picture) const {
  Ended ended;
  for (size_t i = 0; i < parts.size(); i++) {
    Part& part = parts[i];
    ended.committed = part.turn ? CommitTurnedPicture(*part.file, part.name, picture)
                                : part.file->Commit(part.name);
    part.file.reset();  // the hidden file goes now, whichever file took the name
    if (ended.committed.error == 0) continue;
    ended.failed = part.name;
    // A row comes off whole or not at all: a later run would find the names taken.
    for (size_t named = 0; named < i; named++) folder_.Unname(parts[named].name);
    break;
  }
  return ended;
}
