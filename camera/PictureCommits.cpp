#include "camera/PictureCommits.h"

#include "camera/PictureTurn.h"

PictureCommits::~PictureCommits() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void PictureCommits::Add(uint64_t key, std::unique_ptr<PictureFile> file, const std::string& name,
                         std::unique_ptr<pic_Item> picture, bool turn) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return going_.size() < kMostGoing; });
  going_.push_back({key, std::move(file), name, std::move(picture), turn});
  if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
  lock.unlock();
  changed_.notify_all();
}

bool PictureCommits::Naming(const std::string& name) const {
  std::lock_guard<std::mutex> guard(mutex_);
  for (const Job& job : going_)
    if (job.name == name) return true;
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
    // Elements of a deque stay where they are while others are added behind them.
    Job& job = going_.front();
    std::unique_ptr<PictureFile> file = std::move(job.file);
    std::unique_ptr<pic_Item> picture = std::move(job.picture);
    const std::string& name = job.name;
    bool turn = job.turn;
    lock.unlock();
    Committed committed =
        turn ? CommitTurnedPicture(*file, name, picture.get()) : file->Commit(name);
    file.reset();  // the hidden file goes now, whichever file took the name
    lock.lock();
    ended_.push_back({job.key, std::move(picture), committed});
    going_.pop_front();
    changed_.notify_all();
  }
}
