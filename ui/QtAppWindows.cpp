#include "ui/QtAppWindows.h"

#include <QApplication>
#include <optional>
#include <string>

#include "ui/AuxiliaryWindow.h"
#include "ui/DbusService.h"
#include "ui/PostToApp.h"
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
    } else {
      info_->Update(facts);
    }
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
    if (main_ == nullptr) return;
    if (!own_list_text_) own_list_text_ = main_->ListView()->EmptyText();
    main_->ListView()->SetEmptyText(text);
  });
}

void QtAppWindows::ListingRead(uint32_t pictures) {
  OnGuiThread([this] {
    if (main_ != nullptr && own_list_text_) main_->ListView()->SetEmptyText(*own_list_text_);
    own_list_text_.reset();
  });
  if (DbusService* service = bus_.load()) service->ListingRead(pictures);
}

void QtAppWindows::DownloadFinished(uint32_t done, uint32_t failed, const char* folder) {
  if (DbusService* service = bus_.load()) service->DownloadFinished(done, failed, folder);
}
