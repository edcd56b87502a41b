// The windows and panels the application opens, as it sees them. The widget side (ui/)
// implements them on the GUI thread; every call may come from any thread, returns without
// waiting for the GUI (CreateMainWindow excepted) and takes no lock of the application.
#pragma once

#include <cstdint>

#include "app/DownloadReport.h"
#include "camera/CameraHost.h"

class MainWindow;

class AppWindows {
 public:
  virtual ~AppWindows() = default;

  // Once, at start-up; waits until the window exists.
  virtual MainWindow* CreateMainWindow() = 0;

  // The download folder panel, created at start-up; its answers come to the application as
  // 'slct' or B_REFS_RECEIVED messages with the folder under "refs".
  virtual void CreateFolderPanel() = 0;
  virtual void HideFolderPanel() = 0;

  // The status window: opening creates it when there is none, resets its bar to `total`
  // and shows it, offering Cancel (ptv_App::CancelRun) when `cancellable`; an update advances
  // the bar by `delta` and, with a text, replaces its line.
  virtual void OpenStatus(uint64_t total, const char* text, bool cancellable) = 0;
  virtual void UpdateStatus(uint32_t delta, const char* text) = 0;
  // The picture, by its camera path, whose data the status window's bar counts next; for
  // windows that name it.
  virtual void StatusPicture(const char* /*path*/) {}
  // How the user downloads only what a folder lacks (CameraHost::SkipExistingHint); none:
  // the window's way.
  virtual const char* SkipExistingHint() const { return nullptr; }
  virtual void CloseStatus() = 0;

  // The camera information window, showing these facts: created when there is none, else
  // only activated; shown in both cases. Its "Set" comes to the
  // application as a 'SETO' message with the owner name under "name".
  virtual void ShowCameraInfo(const CameraFacts& facts) = 0;
  // Brings the window up to date when it exists.
  virtual void UpdateCameraInfo(const CameraFacts& facts) = 0;
  // A Canon camera that pictrove cannot read was plugged in: the sentence to show where the
  // empty list would be, until a camera's listing is read.
  virtual void ShowUnreadableCamera(const char* /*text*/) {}

  // For programs that wait on the application: a camera's listing has been read, with this
  // many pictures; a download run has ended, as its report tells.
  virtual void ListingRead(uint32_t pictures) = 0;
  virtual void DownloadFinished(const DownloadReport& report) = 0;
};
