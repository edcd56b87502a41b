// The application's windows and panels as Qt widgets. Every call may come from any thread:
// it copies its arguments and queues the work onto the GUI thread, where all the windows
// live, and returns at once.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>

#include "app/AppWindows.h"
#include "ui/RunNotification.h"

class DbusService;
class ptv_FilePanel;
class ptv_camerainfoWin;
class ptv_mainWin;
class ptv_statusWin;

class QtAppWindows : public QObject, public AppWindows {
 public:
  // On the GUI thread.
  QtAppWindows();
  ~QtAppWindows() override;

  MainWindow* CreateMainWindow() override;
  void CreateFolderPanel() override;
  void HideFolderPanel() override;
  void OpenStatus(uint64_t total, const char* text, bool cancellable) override;
  void UpdateStatus(uint32_t delta, const char* text) override;
  void StatusPicture(const char* path) override;
  void CloseStatus() override;
  void ShowCameraInfo(const CameraFacts& facts) override;
  void UpdateCameraInfo(const CameraFacts& facts) override;
  void ShowUnreadableCamera(const char* text) override;
  // Told to other programs over the session bus, once there is a bus service to tell them.
  void ListingRead(uint32_t pictures) override;
  void DownloadFinished(const DownloadReport& report) override;
  void SetBusService(DbusService* service) { bus_ = service; }

  // The windows as they are now, none where there is none; on the GUI thread only.
  ptv_FilePanel* FolderPanel() const { return panel_.get(); }
  ptv_statusWin* StatusWindow() const { return status_; }
  ptv_camerainfoWin* CameraInfoWindow() const { return info_; }

 private:
  template <typename Work>
  void OnGuiThread(Work work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
  }

  ptv_mainWin* main_ = nullptr;
  std::unique_ptr<ptv_FilePanel> panel_;
  // Closed by the user, a window deletes itself and is forgotten here at once.
  ptv_statusWin* status_ = nullptr;
  ptv_camerainfoWin* info_ = nullptr;
  std::atomic<DbusService*> bus_{nullptr};
  RunNotifier notifier_;
};
