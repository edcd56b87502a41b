#include "camera/PictureTurns.h"

#include "camera/PictureTurn.h"

PictureTurns::~PictureTurns() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void PictureTurns::Add(uint64_t key, std::unique_ptr<PictureFile> file, const std::string& name,
                       std::unique_ptr<pic_Item> picture) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return going_.size() < kMostTurning; });
  going_.push_back({key, std::move(file), name, std::move(picture)});
  if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
  lock.unlock();
  changed_.notify_all();
}

bool PictureTurns::Naming(const std::string& name) const {
  std::lock_guard<std::mutex> guard(mutex_);
  for (const Job& job : going_)
    if (job.name == name) return true;
  return false;
}

bool PictureTurns::Owing() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return !going_.empty() || !ended_.empty();
}

std::vector<PictureTurns::Ended> PictureTurns::TakeEnded() {
  std::lock_guard<std::mutex> guard(mutex_);
  std::vector<Ended> taken;
  taken.swap(ended_);
  return taken;
}

std::vector<PictureTurns::Ended> PictureTurns::TakeAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return going_.empty(); });
  std::vector<Ended> taken;
  taken.swap(ended_);
  return taken;
}

void PictureTurns::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !going_.empty(); });
    if (going_.empty()) return;
    // Elements of a deque stay where they are while others are added behind them.
    Job& job = going_.front();
    std::unique_ptr<PictureFile> file = std::move(job.file);
    std::unique_ptr<pic_Item> picture = std::move(job.picture);
    const std::string& name = job.name;
    lock.unlock();
    int error = NameTurnedPicture(*file, name, picture.get());
    file.reset();  // the hidden file goes now, whichever file took the name
    lock.lock();
    ended_.push_back({job.key, std::move(picture), error});
    going_.pop_front();
    changed_.notify_all();
  }
}
