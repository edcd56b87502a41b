// Downloaded pictures turned upright and named on a thread of their own, so that the next
// picture's data flows from the camera meanwhile. They are turned one at a time, in the order
// they were handed over, in the current folder, which must stay the same until every turn has
// ended. Only kMostTurning may be handed over and not yet ended: each holds a picture's
// hidden file, and jpegtran writes another beside it.
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

class PictureTurns {
 public:
  // How one picture's turn ended: the key and the record it was handed over with, and 0 once
  // it stands under its name, else the reason it does not (EEXIST: the name was taken
  // meanwhile).
  struct Ended {
    uint64_t key = 0;
    std::unique_ptr<pic_Item> picture;
    int error = 0;
  };

  static constexpr size_t kMostTurning = 2;

  PictureTurns() = default;
  ~PictureTurns();  // the turns still going end first: their pictures are named

  PictureTurns(const PictureTurns&) = delete;
  PictureTurns& operator=(const PictureTurns&) = delete;

  // Takes over the complete download `file` of the picture, to be turned as its orientation
  // asks and named `name`. Waits first while kMostTurning are still going.
  void Add(uint64_t key, std::unique_ptr<PictureFile> file, const std::string& name,
           std::unique_ptr<pic_Item> picture);
  // Whether a picture handed over and still going is to take that name.
  bool Naming(const std::string& name) const;
  // Whether a picture has been handed over whose end has not been taken yet.
  bool Owing() const;
  // The turns that have ended since the last take, in the order they were handed over.
  std::vector<Ended> TakeEnded();
  // Waits until every turn has ended, then takes them all.
  std::vector<Ended> TakeAll();

 private:
  struct Job {
    uint64_t key;
    std::unique_ptr<PictureFile> file;
    std::string name;
    std::unique_ptr<pic_Item> picture;
  };

  void Work();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  // Handed over and not ended, in order; the worker turns the first. Its name stays here
  // meanwhile, the rest is the worker's.
  std::deque<Job> going_;
  std::vector<Ended> ended_;
  bool stopping_ = false;
  std::thread worker_;  // started with the first turn
};
