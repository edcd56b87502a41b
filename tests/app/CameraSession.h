// A started application with a simulated camera plugged in, and the scratch folders and
// settings a download test needs.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ptv_App.h"
#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "tests/app/RecordingWindows.h"
#include "tests/support/AlertRecorder.h"
#include "tests/support/Scratch.h"

namespace apptest {

// Waits up to five seconds for the condition.
bool Eventually(const std::function<bool()>& condition);

class CameraSession : public testing::Test {
 protected:
  static constexpr char kNode[] = "/dev/bus/usb/001/002";

  void SetUp() override;
  void TearDown() override;

  sim::SimBus& Bus() { return platform_->Bus(); }
  // Plugs the camera in and starts the application, which reads it.
  void StartWith(std::shared_ptr<sim::SimCamera> camera);
  // Ends the application and unplugs the camera; the windows start afresh with the next one.
  void Stop();
  // Runs the work on the application thread, as the windows' commands do, and waits.
  void OnAppThread(const std::function<void()>& work);
  // Downloads the selection into the folder through the application's own message, as the
  // folder panel's "Select Current Directory" answers, and waits until the run is over.
  void DownloadInto(const std::string& folder);
  int Rows();
  pic_Item* Row(int index);
  void SelectRows(const std::vector<int>& rows);

  // A fresh folder, removed with everything in it at the end.
  std::string ScratchFolder();
  static std::string ReadFile(const std::string& path) { return testsupport::ReadWholeFile(path); }
  // What a folder holds, hidden files included: file name and bytes.
  static std::map<std::string, std::string> FolderFiles(const std::string& folder);

  std::shared_ptr<sim::SimPlatform> platform_;
  std::shared_ptr<sim::SimCamera> camera_;
  testsupport::AlertRecorder alerts_;
  RecordingWindows windows_;
  std::unique_ptr<ptv_App> application_;
  std::vector<std::string> scratch_;
  std::string saved_directory_;
  std::string config_;
};

using testsupport::CameraWith;

}  // namespace apptest
