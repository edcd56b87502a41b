// What a download run did with each picture it was asked for, as the run tells it: the
// window, the command line and other programs report from this and from nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/pic_Item.h"

enum class Outcome {
  kNotTried,  // the run stopped, or was cancelled, before the picture was whole
  kFailed,    // no file under the picture's name: `why` says what was shown
  kNamed,     // durable under its name, but the camera does not mark it downloaded: `why`
  kMarked,    // durable under its name and marked downloaded on the camera
  kDeleted,   // durable under its name, then deleted from the camera
};

struct PictureOutcome {
  PictureId id = 0;
  std::string path;  // the picture's camera path
  uint32_t size = 0;
  Outcome outcome = Outcome::kNotTried;
  std::string why;  // for kMarked in a run that deletes: why the picture stays on the camera
};

struct DownloadReport {
  std::string folder;
  bool deleting = false;
  std::vector<PictureOutcome> pictures;
  // Pictures of a run that deletes that were downloaded, and kept as the camera protects them.
  uint32_t kept_protected = 0;

  uint32_t Count(Outcome outcome) const {
    uint32_t count = 0;
    for (const PictureOutcome& picture : pictures) count += picture.outcome == outcome;
    return count;
  }
  // The pictures whose files are durable under their names.
  uint32_t Named() const {
    return Count(Outcome::kNamed) + Count(Outcome::kMarked) + Count(Outcome::kDeleted);
  }
};
