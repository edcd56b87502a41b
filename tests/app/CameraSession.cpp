#include "tests/app/CameraSession.h"

#include <unistd.h>

#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/PictureList.h"
#include "app/messages.h"
#include "kit/Platform.h"
#include "sim/PictureMaker.h"
#include "tests/support/Scratch.h"

namespace apptest {

bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 500; i++) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

void CameraSession::SetUp() {
  char cwd[PATH_MAX];
  saved_directory_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
  config_ = ScratchFolder();
  setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
  platform_ = std::make_shared<sim::SimPlatform>();
  kit::InstallPlatform(platform_);
  Bus().AddDirectory("/dev/bus/usb/001");
}

void CameraSession::TearDown() {
  application_.reset();
  app = nullptr;
  kit::InstallPlatform(nullptr);
  if (chdir(saved_directory_.c_str()) != 0) ADD_FAILURE() << "cannot go back";
  unsetenv("XDG_CONFIG_HOME");
  for (const std::string& folder : scratch_) std::filesystem::remove_all(folder);
}

std::map<std::string, std::string> CameraSession::FolderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files[entry.path().filename()] = ReadFile(entry.path());
  return files;
}

void CameraSession::Stop() {
  application_.reset();
  app = nullptr;
  Bus().Remove(kNode);
  windows_.main.shown = false;
  windows_.main.list.clear_list();
}

void CameraSession::StartWith(std::shared_ptr<sim::SimCamera> camera) {
  camera_ = std::move(camera);
  Bus().Plug(kNode, camera_);
  application_ = std::make_unique<ptv_App>(windows_, [] {});
  app = application_.get();
  testing::internal::CaptureStderr();
  app->Start();
  ASSERT_TRUE(Eventually([this] { return windows_.main.shown.load(); }));
  app->Lock();  // the start-up holds the looper's lock until it is over
  app->Unlock();
  testing::internal::GetCapturedStderr();
}

void CameraSession::OnAppThread(const std::function<void()>& work) {
  std::mutex mutex;
  std::condition_variable done_changed;
  bool done = false;
  std::thread runner([&] {
    // The application handles one message at a time; holding its lock puts this work in
    // line with them.
    app->Lock();
    work();
    app->Unlock();
    std::lock_guard<std::mutex> guard(mutex);
    done = true;
    done_changed.notify_all();
  });
  std::unique_lock<std::mutex> lock(mutex);
  EXPECT_TRUE(done_changed.wait_for(lock, std::chrono::seconds(20), [&] { return done; }));
  lock.unlock();
  runner.join();
}

void CameraSession::DownloadInto(const std::string& folder) {
  size_t before = windows_.Calls().size();
  kit::Message answer(kSelectCurrent);
  answer.AddRef("refs", {folder});
  app->PostMessage(answer);
  ASSERT_TRUE(Eventually([&] {
    std::vector<std::string> calls = windows_.Calls();
    for (size_t i = before; i < calls.size(); i++)
      if (calls[i].rfind("download finished", 0) == 0) return true;
    return false;
  }));
}

int CameraSession::Rows() {
  std::lock_guard<std::recursive_mutex> guard(windows_.main.list.Mutex());
  return windows_.main.list.CountItems();
}

pic_Item* CameraSession::Row(int index) {
  std::lock_guard<std::recursive_mutex> guard(windows_.main.list.Mutex());
  return windows_.main.list.ItemAt(index);
}

void CameraSession::SelectRows(const std::vector<int>& rows) {
  PictureList& list = windows_.main.list;
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  list.DeselectAll();
  for (int row : rows) list.Select(row, true);
}

std::string CameraSession::ScratchFolder() {
  scratch_.push_back(testsupport::MakeScratchFolder());
  return scratch_.back();
}

}  // namespace apptest
