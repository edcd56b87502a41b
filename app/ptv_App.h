// The application object: starts the windows and the USB watcher, holds the camera session
// and carries out every camera operation on its own thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/DownloadReport.h"
#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "camera/PictureCommits.h"
#include "kit/Looper.h"

class AppWindows;
class MainWindow;
class Roster;
class USBDevice;

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

  // Camera operations, each in its own camera session, on the application thread. A picture
  // is named by its record's identity; one that has left the list meanwhile is left alone.
  // Download is one step of a download run: false when the run must stop. The picture's
  // file is committed while the next one comes; a picture is marked downloaded on the camera
  // (and, in a run that deletes, deleted) once its commit has ended, by a later step or by
  // the run's end (FinishCommits). What became of it goes into `report`.
  bool Download(PictureId picture, DownloadReport& report);
  // Whether the camera took the attribute byte.
  // A row's companions take the main file's flags with it, and go when it goes.
  bool Setattr(PictureId picture, unsigned long attributes);
  bool Deletepic(const char* path, const std::vector<Companion>& companions = {});
  void opencamerainfo();
  // Whether the camera took the name.
  bool setownername(const char* name);
  // Sets the camera's clock to the computer's local time: true when the camera took it; an
  // alert says why not. The information window shows the clock as read afterwards.
  bool SetCameraClock();

  // The pictures selected when it is called, one after the other, into `folder`; in a run
  // that deletes, each picture whose file is durable and that the camera does not protect
  // is deleted from the camera then. What became of every picture.
  DownloadReport Download_Selected(const std::string& folder, bool deleting = false);
  // The flags of the selected pictures: choices 0 Ignore, 1 Unset, 2 Set for each. Whether
  // the camera took each picture's new flags, by picture.
  std::vector<std::pair<PictureId, bool>> Setattr_Selected(char downloaded, char protect);
  // The attribute byte the choices make of a picture's value.
  static unsigned long AttributesFor(unsigned long value, char downloaded, char protect);
  // Deletes the selected deletable pictures, refreshing the camera facts after each row.
  // Whether each picture the run came to is gone from the camera, by picture.
  std::vector<std::pair<PictureId, bool>> DeleteSelected();

  // Callable from any thread, returning at once. CancelRun stops a download run at its next
  // piece of picture data: the picture in flight is dropped, those done stay done.
  // QuitRequested does the same for every run still to come, then ends the application.
  void CancelRun();
  void QuitRequested();
  // Whether the file now stands whole on the camera; every failure has been shown.
  bool Upload(const char* path);

  // The roster's reports, on whichever thread the roster runs them.
  void CameraAdded(USBDevice* device);
  void CameraRemoved(USBDevice* device);

  MainWindow* MainWin() const { return mainwin_.load(); }
  USBDevice* CurrentCamera();

  // CameraHost
  unsigned char* CameraBuffer() override { return camerabuffer; }
  uint16_t ProductID() const override { return productID.load(); }
  void SetProductID(uint16_t product) override { productID.store(product); }
  void add_item(pic_Item* item) override;
  void clear_list() override;
  void sort_list() override;
  void openstatus(uint64_t total, const char* text) override;
  void updatestatus(unsigned long delta, const char* text) override;
  void closestatus() override;
  CameraFacts& Facts() override { return facts; }
  const char* SkipExistingHint() const override;
  void UnreadableCamera(uint16_t product) override;
  bool Cancelled() const override;
  // A picture turned while the next one's data flowed still has its mark to be written: the
  // data in flight must be read off for that command, even when the program is ending.
  bool Quitting() const override { return quitting_ && !(commits_ && commits_->Owing()); }

  unsigned char camerabuffer[kCameraBufferSize];
  CameraFacts facts;
  // Set by each camera start-up under the camera lock, but read by any thread, with or
  // without a camera to lock.
  std::atomic<uint16_t> productID{0};

 protected:
  void MessageReceived(kit::Message* message) override;

 private:
  void ReadyToRun();
  // 'slct' and B_REFS_RECEIVED: the selected pictures into the folder the message names.
  void DownloadInto(const kit::Message& message);
  // 'OKBT' from the attributes window, 'UPLO' from the upload panel.
  void ApplyAttributes(const kit::Message& message);
  void UploadChosen(const kit::Message& message);
  // 'SETO' from the camera information window.
  void OwnerNameEntered(const kit::Message& message);
  // Reads the camera's facts again and brings the information window up to date.
  void RefreshCameraInfo();
  // Identification, storage and power, in that order, inside an open session.
  void ReadCameraFacts(USBDevice* camera);
  void ReadClock(USBDevice* camera);
  // After a command whose answer did not come, the camera may or may not have carried it
  // out: the record takes the picture's flags from the camera's listing, or leaves the list
  // when the camera no longer holds it.
  void RecheckRecord(USBDevice* camera, PictureId picture, const std::string& path);
  // The picture's file being durable under its name: marks it downloaded on the camera and,
  // in a run that deletes, deletes it there; the row follows, or, when an answer did not
  // come, takes what the camera holds.
  void MarkDownloaded(USBDevice* camera, PictureId picture, const pic_Item& copy,
                      DownloadReport& report);
  // The ends of commits taken from commits_: each picture named is marked as above when
  // there is a camera; one that failed is said. False when one failed.
  bool CommitsEnded(USBDevice* camera, std::vector<PictureCommits::Ended> ended,
                    DownloadReport& report);
  // At a run's end: waits for every commit, then marks its picture as above.
  void FinishCommits(DownloadReport& report);
  // Deletes the picture inside an open session: whether it is gone from the camera.
  bool DeleteOnCamera(USBDevice* camera, const char* path);
  // Deletes the companions of a row whose main file is gone; one that stays is said.
  void DeleteCompanions(USBDevice* camera, const std::vector<Companion>& companions);
  // Sends the row's attribute byte inside an open session, each companion's following it:
  // whether the camera took all of them. The record follows what was taken; after a command
  // whose answer did not come, it takes what the camera holds.
  bool SetRowAttributes(USBDevice* camera, PictureId picture, const pic_Item& row,
                        unsigned long attributes);
  // The drive the listing was read from.
  static const char* Drive();
  // Whether the file at `path` may be uploaded: a JPEG the camera can show, whose name is
  // free on the camera and which fits on its card. The alert that refuses it, or none.
  const char* UploadRefusal(USBDevice* camera, const char* path);
  // Runs `change` on the record under the main window's lock when it is still in the list.
  bool ChangeRecord(PictureId picture, const std::function<void(pic_Item*)>& change);

  AppWindows& windows_;
  QuitHook quit_;
  std::mutex camera_lock_;
  // Whether a download run is going on, and whether it has been asked to stop.
  std::atomic<bool> downloading_{false};
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> quitting_{false};
  USBDevice* camera_ = nullptr;
  // The running download's pictures being committed; none between runs. Its thread works
  // in the run's folder, which the run holds open until FinishCommits.
  std::unique_ptr<PictureCommits> commits_;
  // An upload failed and may have left part of its file on the camera under the upload's
  // name, which the camera could not be made to delete.
  bool upload_left_ = false;
  std::unique_ptr<Roster> roster_;
  // Set once at start-up; read by other threads.
  std::atomic<MainWindow*> mainwin_{nullptr};
};

extern ptv_App* app;
