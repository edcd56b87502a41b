// The whole program in-process, as a user has it: the Qt windows, the application thread,
// the roster, and a simulated camera plugged in. Tests drive it through its menus, buttons
// and panels and read what the user sees and what the camera holds.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ptv_App.h"
#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "tests/support/AlertRecorder.h"
#include "tests/support/Scratch.h"
#include "ui/QtAppWindows.h"
#include "ui/ptv_mainWin.h"

namespace programtest {

class Program : public testing::Test {
 protected:
  static constexpr char kNode[] = "/dev/bus/usb/001/002";

  void SetUp() override;
  void TearDown() override;

  // Plugs the camera in, starts the program and waits until the camera's pictures are listed.
  void StartWith(std::shared_ptr<sim::SimCamera> camera);
  // Keeps the GUI thread serving events until the condition holds (at most ten seconds).
  bool WaitFor(const std::function<bool()>& condition);
  // Serves the GUI thread's events for a while.
  void Pump(int milliseconds);
  // Lets the application thread finish what it was given, serving the GUI meanwhile.
  void Settle();
  // Ends the application as RunPictrove does once its windows are gone, serving the GUI
  // meanwhile.
  void EndApplication();
  // Answers the download folder panel with `folder`, as "Select Current Directory" does.
  void DownloadInto(const std::string& folder);
  // The names in a folder, hidden ones included, sorted.
  static std::vector<std::string> Names(const std::string& folder);

  ptv_mainWin* Window() const;
  QAction* MenuItem(const QString& label) const;
  QPushButton* Button(const char* name) const;
  void Trigger(const QString& label);
  int Rows();
  pic_Item* Row(int index);
  std::vector<int> Selection();
  std::string ScratchFolder();
  static std::string ReadFile(const std::string& path) { return testsupport::ReadWholeFile(path); }

  std::shared_ptr<sim::SimPlatform> platform_;
  std::shared_ptr<sim::SimCamera> camera_;
  testsupport::AlertRecorder alerts_;
  std::unique_ptr<QtAppWindows> windows_;
  std::unique_ptr<ptv_App> application_;
  // Whether the application asked for the event loop to end.
  std::shared_ptr<std::atomic<bool>> loop_ended_ = std::make_shared<std::atomic<bool>>(false);
  std::vector<std::string> scratch_;
  std::string saved_directory_;
};

using testsupport::CameraWith;
// `count` upright pictures, IMG_0001.JPG onwards, each a minute newer than the one before.
std::vector<sim::PictureSpec> Pictures(int count);

}  // namespace programtest
