#include "cli/CliWindows.h"

#include <cstdio>

#include "cli/Interrupt.h"

MainWindow* CliWindows::CreateMainWindow() {
  created_ = true;
  return &window_;
}

void CliWindows::OpenStatus(uint64_t, const char* text, bool) {
  std::lock_guard<std::mutex> guard(mutex_);
  // A download's pictures are told one by one as they come; any other transfer by its text.
  if (names_.empty() && text != nullptr) progress_.Say(text);
}

void CliWindows::UpdateStatus(uint32_t delta, const char* text) {
  RepeatCancel();
  std::lock_guard<std::mutex> guard(mutex_);
  int picture = 0, pictures = 0;
  // The download run tells which of its pictures comes next in its own words.
  if (text != nullptr && sscanf(text, "Downloading %d of %d", &picture, &pictures) == 2 &&
      picture >= 1 && size_t(picture) <= names_.size())
    progress_.Picture(first_ + picture, names_[picture - 1]);
  if (delta != 0) progress_.Bytes(delta);
}

void CliWindows::ShowCameraInfo(const CameraFacts& facts) {
  UpdateCameraInfo(facts);
}

void CliWindows::UpdateCameraInfo(const CameraFacts& facts) {
  std::lock_guard<std::mutex> guard(mutex_);
  facts_ = facts;
}

void CliWindows::ShowUnreadableCamera(const char* text) {
  std::lock_guard<std::mutex> guard(mutex_);
  unreadable_ = text;
}

std::string CliWindows::Unreadable() {
  std::lock_guard<std::mutex> guard(mutex_);
  return unreadable_;
}

CameraFacts CliWindows::Facts() {
  std::lock_guard<std::mutex> guard(mutex_);
  return facts_;
}

void CliWindows::DownloadGroup(int first, std::vector<std::string> names) {
  std::lock_guard<std::mutex> guard(mutex_);
  first_ = first;
  names_ = std::move(names);
}
