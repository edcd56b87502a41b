// The one place that knows whether the program talks to real hardware or to the
// simulated camera: installed once at start, asked by everything else.
#pragma once

#include <memory>

#include "kit/DeviceTree.h"
#include "kit/RawUsb.h"

namespace kit {

class Platform {
 public:
  virtual ~Platform() = default;

  virtual RawUsbDriver& Usb() = 0;
  virtual DeviceTree& Devices() = 0;
};

// Installs the platform for the rest of the process (tests may install another one
// when nothing uses the previous one any more).
void InstallPlatform(std::shared_ptr<Platform> platform);
Platform& CurrentPlatform();

// libusb on the usbfs nodes and inotify on /dev/bus/usb.
std::shared_ptr<Platform> MakeHostPlatform();

}  // namespace kit
