// Complete downloads made durable, turned upright where they ask for it, and named, on a
// thread of their own, so that the next picture's data flows from the camera meanwhile and
// a slow drive costs no bus time. They are committed one at a time, in the order they were
// handed over, into the run's folder, which must stay open until every commit has ended.
// Only kMostGoing may be handed over and not yet ended: each holds a row's hidden files,
// and a turn writes another beside its picture.
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
  // One complete file of a row: the main file or a companion, to be named `name`, turned
  // first when `turn`.
  struct Part {
    std::unique_ptr<PictureFile> file;
    std::string name;
    bool turn = false;
  };

  // How one row's commit ended: the key and the record it was handed over with, and how its
  // files stand: all of them under their names, or none, `failed` being the one that could
  // not be committed.
  struct Ended {
    uint64_t key = 0;
    std::unique_ptr<pic_Item> picture;
    Committed committed;
    std::string failed;
  };

  static constexpr size_t kMostGoing = 2;

  // The folder must outlive the commits.
  explicit PictureCommits(const DownloadFolder& folder) : folder_(folder) {}
  ~PictureCommits();  // the commits still going end first

  PictureCommits(const PictureCommits&) = delete;
  PictureCommits& operator=(const PictureCommits&) = delete;

  const DownloadFolder& Folder() const { return folder_; }

  // Takes over the complete files of the row `picture`, committed in their order. Waits first
  // while kMostGoing are still going.
  void Add(uint64_t key, std::vector<Part> parts, std::unique_ptr<pic_Item> picture);
  // Whether a row handed over and still going is to take that name.
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
    std::vector<Part> parts;
    std::unique_ptr<pic_Item> picture;
  };

  void Work();
  // Commits every part, or, when one fails, takes the names of those before it back.
  Ended Commit(std::vector<Part> parts, pic_Item* picture) const;

  const DownloadFolder& folder_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // Handed over and not ended, in order; the worker commits the first. Its names stay here
  // meanwhile, the rest is the worker's.
  std::deque<Job> going_;
  std::vector<Ended> ended_;
  bool stopping_ = false;
  std::thread worker_;  // started with the first commit
};
