#include "ui/QtAppWindows.h"

#include <QApplication>
#include <optional>
#include <string>

#include "camera/err_req.h"
#include "ui/AuxiliaryWindow.h"
#include "ui/DbusService.h"
#include "ui/EmptyListText.h"
#include "ui/PostToApp.h"
#include "ui/QtAlerts.h"
#include "ui/ptv_FilePanel.h"
#include "ui/ptv_camerainfoWin.h"
#include "ui/ptv_mainWin.h"
#include "ui/ptv_picListView.h"
#include "ui/ptv_statusWin.h"

namespace {

// A text that may be none, copied before the caller's buffer changes.
std::optional<std::string> Copy(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

const char* Text(const std::optional<std::string>& text) {
  return text ? text->c_str() : nullptr;
}

}  // namespace

QtAppWindows::QtAppWindows() {
  // Every window the program opens shows its icon.
  QApplication::setWindowIcon(ProgramIcon());
  // Their alerts are message boxes.
  InstallQtAlerts();
}

QtAppWindows::~QtAppWindows() {
  delete status_;
  delete info_;
}

MainWindow* QtAppWindows::CreateMainWindow() {
  ptv_mainWin* window = ::CreateMainWindow();
  main_ = window;
  // Asked on the GUI thread, by the Download command.
  window->SetFolderPanel([this] { return panel_.get(); });
  return window;
}

void QtAppWindows::CreateFolderPanel() {
  OnGuiThread([this] {
    if (!panel_) panel_ = std::make_unique<ptv_FilePanel>();
  });
}

void QtAppWindows::HideFolderPanel() {
  OnGuiThread([this] {
    if (panel_) panel_->hide();
  });
}

void QtAppWindows::OpenStatus(uint64_t total, const char* text, bool cancellable) {
  OnGuiThread([this, total, text = Copy(text), cancellable] {
    if (status_ == nullptr) {
      status_ = new ptv_statusWin(total, Text(text));
      connect(status_, &ptv_statusWin::Closed, this, [this] { status_ = nullptr; });
      connect(status_, &ptv_statusWin::CancelRequested, this, [] { CancelAppRun(); });
      PlaceBesideMainWindow(status_);
    }
    status_->reset(total);
    status_->SetCancellable(cancellable);
    status_->show();
  });
}

void QtAppWindows::UpdateStatus(uint32_t delta, const char* text) {
  OnGuiThread([this, delta, text = Copy(text)] {
    if (status_ != nullptr) status_->updatestatus(delta, Text(text));
  });
}

void QtAppWindows::StatusPicture(const char* path) {
  OnGuiThread([this, path = std::string(path)] {
    if (status_ != nullptr) status_->SetPicture(path.c_str());
  });
}

void QtAppWindows::CloseStatus() {
  OnGuiThread([this] {
    if (status_ != nullptr) status_->hide();
  });
}

void QtAppWindows::ShowCameraInfo(const CameraFacts& facts) {
  OnGuiThread([this, facts] {
    if (info_ == nullptr) {
      info_ = new ptv_camerainfoWin(facts);
      connect(info_, &ptv_camerainfoWin::Closed, this, [this] { info_ = nullptr; });
      PlaceBesideMainWindow(info_);
    }
    // An open window is only brought forward: an owner name typed but not yet sent stays.
    info_->show();
    info_->raise();
    info_->activateWindow();
  });
}

void QtAppWindows::UpdateCameraInfo(const CameraFacts& facts) {
  OnGuiThread([this, facts] {
    if (info_ != nullptr) info_->Update(facts);
  });
}

void QtAppWindows::ShowUnreadableCamera(const char* text) {
  OnGuiThread([this, text = QString::fromUtf8(text)] {
    // Said where the list would be, until a camera's listing is read.
    if (main_ != nullptr) main_->ListView()->SetEmptyText(text);
  });
}

void QtAppWindows::ListingRead(uint32_t pictures) {
  // A camera is there now: an empty list no longer means that there is none.
  OnGuiThread([this] {
    if (main_ != nullptr) main_->ListView()->SetEmptyText(QString::fromUtf8(kNoPicturesText));
  });
  if (DbusService* service = bus_.load()) service->ListingRead(pictures);
}

void QtAppWindows::DownloadFinished(const DownloadReport& report) {
  uint32_t done = report.Named();
  uint32_t failed = uint32_t(report.pictures.size()) - done;
  if (DbusService* service = bus_.load())
    service->DownloadFinished(done, failed, report.folder, report.Count(Outcome::kDeleted));
  OnGuiThread([this, done, failed, where = QString::fromLocal8Bit(report.folder.c_str())] {
    notifier_.RunEnded(done, failed, where);
  });
  if (report.kept_protected == 0) return;
  // Said once, at the end of the run: the user asked for the camera to be emptied.
  std::string text =
      std::to_string(report.kept_protected) +
      (report.kept_protected == 1 ? " protected picture was" : " protected pictures were") +
      " kept on the camera.";
  OnGuiThread([text] { info_req(text.c_str()); });
}
