// What the camera protocol needs of the program around it: the camera buffer, the picture
// list and the status display. The application installs itself; tests install their own.
#pragma once

#include <cstddef>
#include <cstdint>

class pic_Item;

// Room for the 80-byte command block and 5120 bytes of data.
constexpr size_t kCameraBufferSize = 5200;

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
};

void SetCameraHost(CameraHost* host);
CameraHost& Host();
