// The application object: starts the windows and the USB watcher, holds the camera session
// and carries out every camera operation on its own thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "camera/CameraHost.h"
#include "kit/Looper.h"

class MainWindow;
class Roster;
class USBDevice;
class pic_Item;

extern const char kAppSignature[];

class ptv_App : public kit::Looper, public CameraHost {
 public:
  // Creates the main window; called once, from the application thread, at start-up.
  using MainWindowFactory = std::function<MainWindow*()>;
  // Asked to end the program's event loop once the application has quit.
  using QuitHook = std::function<void()>;

  ptv_App(MainWindowFactory make_main_window, QuitHook quit);
  ~ptv_App() override;

  // Starts the application thread, which begins with the start-up sequence.
  void Start();

  // The current camera ready for commands, with the camera lock held until CloseCamera;
  // none (and no lock held) when there is no usable camera.
  USBDevice* OpenCamera();
  void CloseCamera();

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

  // What the camera last said about itself.
  unsigned char camerabuffer[kCameraBufferSize];
  char cameramodel[33] = {};
  char ownername[203] = {};
  uint32_t disktotal = 0;
  uint32_t diskfree = 0;
  uint16_t powerflags = 0;
  uint16_t productID = 0;

 protected:
  void MessageReceived(kit::Message* message) override;

 private:
  void ReadyToRun();

  MainWindowFactory make_main_window_;
  QuitHook quit_;
  std::mutex camera_lock_;
  USBDevice* camera_ = nullptr;
  std::unique_ptr<Roster> roster_;
  MainWindow* mainwin_ = nullptr;
};

extern ptv_App* app;
