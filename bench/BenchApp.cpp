#include "bench/BenchApp.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "app/AppWindows.h"
#include "app/ListOnlyWindow.h"
#include "app/ptv_App.h"
#include "kit/Platform.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"

namespace {

constexpr char kNode[] = "/dev/bus/usb/001/002";

}  // namespace

// Shows nothing; keeps what the end of a download run reported.
class BenchApp::Windows : public AppWindows {
 public:
  MainWindow* CreateMainWindow() override {
    created = true;
    return &window;
  }
  void CreateFolderPanel() override {}
  void HideFolderPanel() override {}
  void OpenStatus(uint64_t, const char*, bool) override {}
  void UpdateStatus(uint32_t, const char*) override {}
  void CloseStatus() override {}
  void ShowCameraInfo(const CameraFacts&) override {}
  void UpdateCameraInfo(const CameraFacts&) override {}
  void ListingRead(uint32_t) override {}
  void DownloadFinished(const DownloadReport& report) override {
    downloaded = report.Named();
    not_downloaded = uint32_t(report.pictures.size()) - report.Named();
  }

  ListOnlyWindow window;
  std::atomic<bool> created{false};
  uint32_t downloaded = 0;
  uint32_t not_downloaded = 0;
};

BenchApp::BenchApp(std::shared_ptr<sim::SimCamera> camera)
    : platform_(std::make_shared<sim::SimPlatform>()), windows_(std::make_unique<Windows>()) {
  camera->KeepTransfers(false);  // a benchmark's gigabytes are not kept
  kit::InstallPlatform(platform_);
  kit::SetAlertHandler(&alerts_);
  platform_->Bus().AddDirectory("/dev/bus/usb/001");
  platform_->Bus().Plug(kNode, std::move(camera));
  application_ = std::make_unique<ptv_App>(*windows_, [] {});
  app = application_.get();
  app->Start();
  while (!windows_->created) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  // The start-up, the camera's listing with it, holds the looper's lock until it is over.
  app->Lock();
  app->Unlock();
}

BenchApp::~BenchApp() {
  application_.reset();
  app = nullptr;
  kit::SetAlertHandler(nullptr);
  kit::InstallPlatform(nullptr);
}

bool BenchApp::Ready() const {
  return application_->CurrentCamera() != nullptr;
}

bool BenchApp::DownloadAll() {
  PictureList& list = windows_->window.List();
  int count = 0;
  {
    std::lock_guard<std::recursive_mutex> guard(list.Mutex());
    list.SelectAll();
    count = list.CountItems();
  }
  // In line with the application's messages, as the command line runs its commands.
  app->Lock();
  app->Download_Selected(".");
  app->Unlock();
  return windows_->downloaded == uint32_t(count) && windows_->not_downloaded == 0 &&
         alerts_.shown == 0;
}
