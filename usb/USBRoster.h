// Reports USB devices as they come and go below /dev/bus/usb.
#pragma once

class USBDevice;
class USBRosterLooper;

class USBRoster {
 public:
  USBRoster() = default;
  virtual ~USBRoster();

  USBRoster(const USBRoster&) = delete;
  USBRoster& operator=(const USBRoster&) = delete;

  // Scans the tree: every device present is reported before Start returns.
  void Start();
  // Reports every remaining device as removed and ends the watching.
  void Stop();

  // 0 accepts the device (its removal is reported later); anything else refuses it.
  virtual int DeviceAdded(USBDevice* device) = 0;
  // The device is destroyed as soon as this returns.
  virtual void DeviceRemoved(USBDevice* device) = 0;

 private:
  USBRosterLooper* looper_ = nullptr;
};
