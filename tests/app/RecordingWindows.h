// The application's windows without widgets: a main window around a plain picture list,
// and a record of what the other windows were asked to do.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/AppWindows.h"
#include "app/MainWindow.h"
#include "app/PictureList.h"

namespace apptest {

class PlainMainWindow : public MainWindow {
 public:
  PictureList& List() override { return list; }
  void Show() override { shown = true; }

  PictureList list;
  std::atomic<bool> shown{false};
};

class RecordingWindows : public AppWindows {
 public:
  MainWindow* CreateMainWindow() override { return &main; }
  void CreateFolderPanel() override { Note("panel"); }
  void HideFolderPanel() override { Note("hide panel"); }
  void OpenStatus(uint64_t total, const char* text, bool cancellable) override {
    Note("open status " + std::to_string(total) + " " + (text ? text : ""));
    std::lock_guard<std::mutex> guard(mutex_);
    offered_cancel = cancellable;
    bar_total = total;
    bar = 0;
  }
  void UpdateStatus(uint32_t delta, const char* text) override {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      bar += delta;
      updates.push_back(delta);
      if (text != nullptr) lines.push_back(text);
    }
    if (text != nullptr && on_line) on_line(text);
  }
  void CloseStatus() override { Note("close status"); }
  void ShowCameraInfo(const CameraFacts& facts) override {
    Note("show info");
    std::lock_guard<std::mutex> guard(mutex_);
    shown_facts = facts;
  }
  void UpdateCameraInfo(const CameraFacts& facts) override {
    Note("update info");
    std::lock_guard<std::mutex> guard(mutex_);
    shown_facts = facts;
  }
  void ListingRead(uint32_t pictures) override { Note("listing read " + std::to_string(pictures)); }
  void DownloadFinished(uint32_t done, uint32_t failed, const char* folder) override {
    Note("download finished " + std::to_string(done) + " " + std::to_string(failed) + " " + folder);
  }

  std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> guard(mutex_);
    return calls;
  }

  // Told each line the status window is given, on the thread that gives it; set before a run.
  std::function<void(const std::string&)> on_line;
  PlainMainWindow main;
  std::mutex mutex_;
  std::vector<std::string> calls;
  uint64_t bar = 0;
  uint64_t bar_total = 0;
  bool offered_cancel = false;  // by the last opening
  std::vector<uint32_t> updates;
  std::vector<std::string> lines;
  CameraFacts shown_facts;

 private:
  void Note(const std::string& call) {
    std::lock_guard<std::mutex> guard(mutex_);
    calls.push_back(call);
  }
};

}  // namespace apptest
