// The application's windows for the command line: a main window that is only its picture
// list, a status display that prints progress, camera information kept for printing.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "app/AppWindows.h"
#include "app/ListOnlyWindow.h"
#include "cli/Progress.h"

class CliWindows : public AppWindows {
 public:
  explicit CliWindows(Progress& progress) : progress_(progress) {}

  MainWindow* CreateMainWindow() override;
  void CreateFolderPanel() override {}
  void HideFolderPanel() override {}
  void OpenStatus(uint64_t total, const char* text, bool cancellable) override;
  void UpdateStatus(uint32_t delta, const char* text) override;
  void CloseStatus() override {}
  void ShowCameraInfo(const CameraFacts& facts) override;
  void UpdateCameraInfo(const CameraFacts& facts) override;
  void ShowUnreadableCamera(const char* text) override;
  // The command line waits on the application itself and counts the files it finds.
  void ListingRead(uint32_t) override {}
  void DownloadFinished(const DownloadReport&) override {}
  const char* SkipExistingHint() const override {
    return "use get --skip-existing to download only what the folder lacks";
  }

  // Whether the application has asked for its main window: its start-up has begun.
  bool Created() const { return created_; }
  PictureList& List() { return window_.List(); }
  CameraFacts Facts();
  // The sentence about the last Canon camera that could not be read; empty when none was.
  std::string Unreadable();
  // The pictures the next download over the selection takes, in list order, and where the
  // first of them stands in the whole run (counted from 0); none for other transfers.
  void DownloadGroup(int first, std::vector<std::string> names);

 private:
  Progress& progress_;
  ListOnlyWindow window_;
  std::atomic<bool> created_{false};
  std::mutex mutex_;
  CameraFacts facts_;
  std::string unreadable_;
  int first_ = 0;
  std::vector<std::string> names_;
};
