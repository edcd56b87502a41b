// The application object: starts the windows and the USB watcher, holds the camera session
// and carries out every camera operation on its own thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "camera/CameraHost.h"
#include "kit/Looper.h"

class AppWindows;
class MainWindow;
class Roster;
class USBDevice;
class pic_Item;

extern const char kAppSignature[];

class ptv_App : public kit::Looper, public CameraHost {
 public:
  // Asked to end the program's event loop once the application has quit.
  using QuitHook = std::function<void()>;

  // The windows must outlive the application.
  ptv_App(AppWindows& windows, QuitHook quit);
  ~ptv_App() override;

  // Starts the application thread, which begins with the start-up sequence.
  void Start();

  // The current camera ready for commands, with the camera lock held until CloseCamera;
  // none (and no lock held) when there is no usable camera.
  USBDevice* OpenCamera();
  void CloseCamera();

  // Camera operations, each in its own camera session, on the application thread.
  bool Download(pic_Item* picture);
  void Setattr(pic_Item* picture, unsigned long attributes);
  bool Deletepic(const char* path);
  void opencamerainfo();
  void setownername(const char* name);

  // The selected pictures, one after the other, into the current directory.
  void Download_Selected();

  void openstatus(uint64_t total, const char* text);
  void closestatus();

  // The roster's reports, on whichever thread the roster runs them.
  void CameraAdded(USBDevice* device);
  void CameraRemoved(USBDevice* device);

  MainWindow* MainWin() const { return mainwin_; }
  USBDevice* CurrentCamera();

  // CameraHost
  unsigned char* CameraBuffer() override { return camerabuffer; }
  uint16_t ProductID() const override { return productID; }
  void SetProductID(uint16_t product) override { productID = product; }
  void add_item(pic_Item* item) override;
  void clear_list() override;
  void sort_list() override;
  void updatestatus(unsigned long delta, const char* text) override;
  CameraFacts& Facts() override { return facts; }

  unsigned char camerabuffer[kCameraBufferSize];
  CameraFacts facts;
  uint16_t productID = 0;

 protected:
  void MessageReceived(kit::Message* message) override;

 private:
  void ReadyToRun();
  // 'slct' and B_REFS_RECEIVED: the selected pictures into the folder the message names.
  void DownloadInto(const kit::Message& message);
  // 'SETO' from the camera information window.
  void OwnerNameEntered(const kit::Message& message);
  // Runs `change` on the record under the main window's lock when it is still in the list.
  bool ChangeRecord(pic_Item* picture, const std::function<void(pic_Item*)>& change);

  AppWindows& windows_;
  QuitHook quit_;
  std::mutex camera_lock_;
  USBDevice* camera_ = nullptr;
  std::unique_ptr<Roster> roster_;
  MainWindow* mainwin_ = nullptr;
};

extern ptv_App* app;
