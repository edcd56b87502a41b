// The application without widgets on the simulated platform, a camera plugged in and its
// listing read: benchmarks run the program's own operations on it, as the window and the
// command line do.
#pragma once

#include <cstdint>
#include <memory>

#include "bench/BenchSupport.h"

class ptv_App;
namespace sim {
class SimCamera;
class SimPlatform;
}  // namespace sim

class BenchApp {
 public:
  explicit BenchApp(std::shared_ptr<sim::SimCamera> camera);
  ~BenchApp();
  BenchApp(const BenchApp&) = delete;
  BenchApp& operator=(const BenchApp&) = delete;

  // Whether the camera became the application's, its listing read.
  bool Ready() const;
  // Selects every picture and downloads them into the current folder by the application's
  // own run: whether it reported every one downloaded, with no alert.
  bool DownloadAll();

 private:
  class Windows;

  std::shared_ptr<sim::SimPlatform> platform_;
  std::unique_ptr<Windows> windows_;
  std::unique_ptr<ptv_App> application_;
  CountingAlerts alerts_;
};
