// Downloading one picture into a file of the download folder.
#pragma once

#include <cstdint>
#include <string>

class PictureCommits;
class USBDevice;
class pic_Item;

// What became of a picture asked for: failed (shown to the user, `why` says what was
// shown), stopped by the host before its data was whole (nothing shown), or complete and
// handed to the commits, which make it durable and name it while the next one comes.
struct Fetch {
  enum State { kFailed, kStopped, kCommitting } state = kFailed;
  std::string why;
};

// Asks the camera for the row's main file and each of its companions and writes each to a
// hidden file of the commits' folder; once all are complete and typed, they go to `commits`
// with `key` and the row's facts, a JPEG picture turned upright on the way when its
// orientation asks for it.
Fetch GetPicture(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture,
                 PictureCommits& commits, uint64_t key);

// The same into the current folder, waiting for the commit: true when the picture's file is
// durable under its name, turned or not; after any failure, which has been shown to the
// user, false.
bool ixus_getfile(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture);
