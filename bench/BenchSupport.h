// What the benchmarks install around the protocol: a camera host, an alert counter and a
// scratch folder to download into.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "kit/Alert.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/ScratchFolder.h"

class USBDevice;
namespace sim {
class SimCamera;
class SimPlatform;
}  // namespace sim

// The one host fake (tests/support/RecordingHost.h): keeps the records as the program's list
// would (sorted newest first), adds up the progress reports, logs nothing and shows nothing.
class BenchHost : public testsupport::RecordingHost {
 public:
  BenchHost() {
    keep_log = false;
    SetProductID(0x3049);
  }
};

// Counts alerts instead of showing them: a benchmark with one has failed.
class CountingAlerts : public kit::AlertHandler {
 public:
  int Show(const kit::AlertRequest&) override { return ++shown, 0; }
  int shown = 0;
};

// The camera plugged in on a simulated platform, opened with its first configuration
// selected, with a host and an alert counter installed while this lives.
struct PluggedCamera {
  explicit PluggedCamera(std::shared_ptr<sim::SimCamera> held);
  ~PluggedCamera();
  PluggedCamera(const PluggedCamera&) = delete;
  PluggedCamera& operator=(const PluggedCamera&) = delete;

  std::shared_ptr<sim::SimPlatform> platform;
  std::shared_ptr<sim::SimCamera> camera;
  std::unique_ptr<USBDevice> device;
  BenchHost host;
  CountingAlerts alerts;
};

// A fresh folder, the current one while this lives; removed with what it holds.
using testsupport::ScratchFolder;

// Downloads the picture at the camera path into the current folder and removes it again.
// Whether it came whole: no alert, and progress reports that add up to `size`.
bool DownloadAndDiscard(USBDevice* device, BenchHost& host, const CountingAlerts& alerts,
                        const char* path, uint32_t size);
// The same for the row `record`, its companions with it: the reports add up to all of them.
bool DownloadAndDiscard(USBDevice* device, BenchHost& host, const CountingAlerts& alerts,
                        pic_Item& record);

// The CPU time the process has used so far, in seconds.
double ProcessSeconds();

// The bytes of memory the process holds in RAM now, heap and mappings alike.
size_t ResidentBytes();

// Microseconds of CPU time the first write to a fresh, already present 4 KiB page costs on
// this machine: next to nothing on bare hardware, several microseconds under some hypervisors.
// Every thumbnail needs 19 such pages, so this explains a machine's CPU figure.
double FreshPageMicroseconds();

// Adds `count` pictures, IMG_0001.JPG on: the demo pictures over and over, in folders of 100
// as a camera numbers them, each listed a little later than the one before.
void AddDemoPictures(sim::SimCamera& camera, int count);
