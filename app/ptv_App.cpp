#include "app/ptv_App.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "app/AppWindows.h"
#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/Roster.h"
#include "app/messages.h"
#include "camera/ixus_init.h"
#include "usb/USBDevice.h"

const char kAppSignature[] = "application/x-vnd.morv-pictrove";

ptv_App* app = nullptr;

ptv_App::ptv_App(AppWindows& windows, QuitHook quit) : windows_(windows), quit_(std::move(quit)) {
  SetCameraHost(this);
}

ptv_App::~ptv_App() {
  Quit();
  // The roster reports its devices as removed; the camera session must still be here.
  roster_.reset();
  SetCameraHost(nullptr);
}

void ptv_App::Start() {
  PostMessage(kit::Message(kReadyToRun));
  Run();
}

void ptv_App::ReadyToRun() {
  mainwin_ = windows_.CreateMainWindow();
  roster_ = std::make_unique<Roster>();
  MainWin()->Show();
  roster_->Start();
  windows_.CreateFolderPanel();
}

void ptv_App::MessageReceived(kit::Message* message) {
  switch (message->what) {
    case kReadyToRun:
      ReadyToRun();
      break;
    case kQuitRequested:
      quitting_ = true;  // whoever sent it: what is still queued must not start a transfer
      Quit();
      if (quit_) quit_();
      break;
    case kSelectCurrent:
    case kRefsReceived:
      DownloadInto(*message);
      break;
    case kSetOwner:
      OwnerNameEntered(*message);
      break;
    case kApplyAttributes:
      ApplyAttributes(*message);
      break;
    case kUpload:
      UploadChosen(*message);
      break;
    case kDeleteSelected:
      DeleteSelected();
      break;
    case kCameraInfo:
      opencamerainfo();
      break;
    case kSetClock:
      SetCameraClock();
      break;
    default:
      break;
  }
}

void ptv_App::CancelRun() {
  cancelled_ = true;
}

void ptv_App::QuitRequested() {
  quitting_ = true;
  PostMessage(kit::Message(kQuitRequested));
}

bool ptv_App::Cancelled() const {
  return cancelled_ || quitting_;
}

USBDevice* ptv_App::OpenCamera() {
  camera_lock_.lock();
  if (camera_ == nullptr || camera_->InitCheck() != 0 ||
      camera_->SetConfiguration(camera_->ConfigurationAt(0)) != 0) {
    camera_lock_.unlock();
    return nullptr;
  }
  return camera_;
}

void ptv_App::CloseCamera() {
  camera_lock_.unlock();
}

USBDevice* ptv_App::CurrentCamera() {
  std::lock_guard<std::mutex> guard(camera_lock_);
  return camera_;
}

void ptv_App::CameraAdded(USBDevice* device) {
  // The whole start-up runs under the camera lock: no operation can use the buffer meanwhile.
  std::lock_guard<std::mutex> guard(camera_lock_);
  if (!ixus_init(device, true)) return;
  camera_ = device;
  PictureList& list = MainWin()->List();
  std::lock_guard<std::recursive_mutex> rows(list.Mutex());
  windows_.ListingRead(uint32_t(list.CountItems()));
}

void ptv_App::CameraRemoved(USBDevice* device) {
  fputs("\nDevice Removed.\n", stderr);
  // Waits for a running operation: the device is destroyed as soon as this returns.
  std::lock_guard<std::mutex> guard(camera_lock_);
  if (camera_ == device) camera_ = nullptr;
}

void ptv_App::add_item(pic_Item* item) {
  MainWin()->List().add_item(item);
}

void ptv_App::clear_list() {
  MainWin()->List().clear_list();
}

void ptv_App::sort_list() {
  MainWin()->List().sort_list();
}

void ptv_App::updatestatus(unsigned long delta, const char* text) {
  windows_.UpdateStatus(uint32_t(delta), text);
}

void ptv_App::ApplyAttributes(const kit::Message& message) {
  int32_t downloaded, protect;
  if (message.FindInt32("downloaded", &downloaded) && message.FindInt32("protected", &protect))
    Setattr_Selected(char(downloaded), char(protect));
}

void ptv_App::UploadChosen(const kit::Message& message) {
  kit::EntryRef ref;
  char resolved[PATH_MAX];
  if (message.FindRef("refs", &ref) && realpath(ref.path.c_str(), resolved) != nullptr)
    Upload(resolved);
}
