// The application's roster: runs the camera start-up on every device that appears and
// forgets the current camera when it goes.
#pragma once

#include "usb/USBRoster.h"

class Roster : public USBRoster {
 public:
  ~Roster() override;

  int DeviceAdded(USBDevice* device) override;
  void DeviceRemoved(USBDevice* device) override;
};
