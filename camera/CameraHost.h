// What the camera protocol needs of the program around it: the camera buffer, the picture
// list and the status display. The application installs itself; tests install their own.
#pragma once

#include <cstddef>
#include <cstdint>

class pic_Item;

// Room for the 80-byte command block and 5120 bytes of data.
constexpr size_t kCameraBufferSize = 5200;

// What the camera last said about itself.
struct CameraFacts {
  char cameramodel[33] = {};
  char ownername[203] = {};  // UTF-8
  uint32_t disktotal = 0;
  uint32_t diskfree = 0;
  uint16_t powerflags = 0;  // bit 0: power critical; bit 1: on the AC adaptor
  // The camera's clock as it stands (local seconds since 1970), and how far ahead of the
  // computer's local time it was when read; meaningful once read.
  bool clock_read = false;
  uint32_t clock = 0;
  int64_t clock_ahead = 0;
};

class CameraHost {
 public:
  virtual ~CameraHost() = default;

  virtual unsigned char* CameraBuffer() = 0;

  // USB product ID of the last Canon device the start-up examined.
  virtual uint16_t ProductID() const = 0;
  virtual void SetProductID(uint16_t product) = 0;

  // The picture list; each takes the list's lock itself.
  virtual void clear_list() = 0;
  virtual void add_item(pic_Item* item) = 0;  // the list takes ownership
  virtual void sort_list() = 0;

  // The status window: opened with a total of bytes, advanced by `delta` bytes (a text, when
  // not none, replaces its line), closed.
  virtual void openstatus(uint64_t total, const char* text) = 0;
  virtual void updatestatus(unsigned long delta, const char* text) = 0;
  virtual void closestatus() = 0;

  // A Canon device whose product ID is not one of the models pictrove reads has been plugged
  // in: the user is told where the list would be.
  virtual void UnreadableCamera(uint16_t /*product*/) {}

  // How the user downloads only what a folder lacks, for an alert about a name already taken:
  // the window's way, unless the host is another.
  virtual const char* SkipExistingHint() const {
    return "use Select New to download only the pictures not yet downloaded";
  }

  // Filled by the camera information commands.
  virtual CameraFacts& Facts() = 0;

  // Asked once for every piece of picture data: when true, the picture ends as a failed one
  // does, without an alert.
  virtual bool Cancelled() const { return false; }
  // Whether the program is ending: no command follows, so a cancelled reply need not be
  // read off first.
  virtual bool Quitting() const { return false; }
};

void SetCameraHost(CameraHost* host);
CameraHost& Host();
