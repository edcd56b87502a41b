// Complete downloads made durable, turned upright where they ask for it, and named, on a
// thread of their own, so that the next picture's data flows from the camera meanwhile and
// a slow drive costs no bus time. They are committed one at a time, in the order they were
// handed over, into the run's folder, which must stay open until every commit has ended.
// Only kMostGoing may be handed over and not yet ended: each holds a picture's hidden file,
// and a turn writes another beside it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/pic_Item.h"
#include "camera/PictureFile.h"

class DownloadFolder;

class PictureCommits {
 public:
  // How one picture's commit ended: the key and the record it was handed over with, and
  // how its file stands.
  struct Ended {
    uint64_t key = 0;
    std::unique_ptr<pic_Item> picture;
    Committed committed;
  };

  static constexpr size_t kMostGoing = 2;

  // The folder must outlive the commits.
  explicit PictureCommits(const DownloadFolder& folder) : folder_(folder) {}
  ~PictureCommits();  // the commits still going end first

  PictureCommits(const PictureCommits&) = delete;
  PictureCommits& operator=(const PictureCommits&) = delete;

  const DownloadFolder& Folder() const { return folder_; }

  // Takes over the complete download `file` of the picture, to be named `name`, turned
  // first when `turn`. Waits first while kMostGoing are still going.
  void Add(uint64_t key, std::unique_ptr<PictureFile> file, const std::string& name,
           std::unique_ptr<pic_Item> picture, bool turn);
  // Whether a picture handed over and still going is to take that name.
  bool Naming(const std::string& name) const;
  // Whether a picture has been handed over whose end has not been taken yet.
  bool Owing() const;
  // The commits that have ended since the last take, in the order they were handed over.
  std::vector<Ended> TakeEnded();
  // Waits until every commit has ended, then takes them all.
  std::vector<Ended> TakeAll();

 private:
  struct Job {
    uint64_t key;
    std::unique_ptr<PictureFile> file;
    std::string name;
    std::unique_ptr<pic_Item> picture;
    bool turn;
  };

  void Work();

  const DownloadFolder& folder_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // Handed over and not ended, in order; the worker commits the first. Its name stays here
  // meanwhile, the rest is the worker's.
  std::deque<Job> going_;
  std::vector<Ended> ended_;
  bool stopping_ = false;
  std::thread worker_;  // started with the first commit
};
