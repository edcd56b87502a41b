#include "tests/program/ProgramFixture.h"

#include <unistd.h>

#include <QApplication>
#include <QMenuBar>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/PictureList.h"
#include "app/messages.h"
#include "kit/Platform.h"
#include "tests/support/Scratch.h"

namespace programtest {

void Program::SetUp() {
  QApplication::setStyle("Fusion");
  char cwd[PATH_MAX];
  saved_directory_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
  setenv("XDG_CONFIG_HOME", ScratchFolder().c_str(), 1);
  platform_ = std::make_shared<sim::SimPlatform>();
  kit::InstallPlatform(platform_);
  platform_->Bus().AddDirectory("/dev/bus/usb/001");
}

void Program::TearDown() {
  testing::internal::CaptureStderr();
  QWidget* window = Window();  // outlives the application: hidden, the next test's is the one
  // As RunPictrove ends the program: the application first, then the windows.
  EndApplication();
  if (window != nullptr) window->hide();
  windows_.reset();
  testing::internal::GetCapturedStderr();
  kit::InstallPlatform(nullptr);
  if (chdir(saved_directory_.c_str()) != 0) ADD_FAILURE() << "cannot go back";
  unsetenv("XDG_CONFIG_HOME");
  for (const std::string& folder : scratch_) std::filesystem::remove_all(folder);
}

void Program::EndApplication() {
  if (application_) {
    std::thread quitter([this] { application_.reset(); });
    while (!WaitFor([&] { return application_ == nullptr; })) {
    }
    quitter.join();
  }
  app = nullptr;
}

void Program::DownloadInto(const std::string& folder) {
  kit::Message answer(kSelectCurrent);
  answer.AddRef("refs", {folder});
  app->PostMessage(answer);
}

std::vector<std::string> Program::Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool Program::WaitFor(const std::function<bool()>& condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  QCoreApplication::processEvents();
  return true;
}

void Program::Settle() {
  // The application's looper holds its lock while it handles a message; the queue is empty
  // when the lock can be had twice with a pause between.
  for (int i = 0; i < 2; i++) {
    std::atomic<bool> locked{false};
    std::thread taker([&] {
      app->Lock();
      app->Unlock();
      locked = true;
    });
    WaitFor([&] { return locked.load(); });
    taker.join();
    Pump(20);
  }
}

void Program::Pump(int milliseconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void Program::StartWith(std::shared_ptr<sim::SimCamera> camera) {
  camera_ = std::move(camera);
  platform_->Bus().Plug(kNode, camera_);
  windows_ = std::make_unique<QtAppWindows>();
  application_ = std::make_unique<ptv_App>(*windows_, [ended = loop_ended_] { *ended = true; });
  app = application_.get();
  testing::internal::CaptureStderr();
  app->Start();
  size_t expected = 0;
  for (const sim::CameraFolder& folder : camera_->Folders()) expected += folder.files.size();
  ASSERT_TRUE(WaitFor([&] { return Window() != nullptr && app->CurrentCamera() != nullptr; }));
  ASSERT_TRUE(WaitFor([&] { return Rows() == int(expected) && Window()->isVisible(); }));
  testing::internal::GetCapturedStderr();
}

ptv_mainWin* Program::Window() const {
  return app != nullptr ? dynamic_cast<ptv_mainWin*>(app->MainWin()) : nullptr;
}

QAction* Program::MenuItem(const QString& label) const {
  for (QAction* menu : Window()->menuBar()->actions())
    for (QAction* item : menu->menu()->actions())
      if (item->text() == label) return item;
  return nullptr;
}

QPushButton* Program::Button(const char* name) const {
  return Window()->findChild<QPushButton*>(name);
}

void Program::Trigger(const QString& label) {
  QAction* item = MenuItem(label);
  ASSERT_NE(item, nullptr) << label.toStdString();
  item->trigger();
}

int Program::Rows() {
  if (Window() == nullptr) return -1;
  std::lock_guard<std::recursive_mutex> guard(Window()->List().Mutex());
  return Window()->List().CountItems();
}

pic_Item* Program::Row(int index) {
  std::lock_guard<std::recursive_mutex> guard(Window()->List().Mutex());
  return Window()->List().ItemAt(index);
}

std::vector<int> Program::Selection() {
  PictureList& list = Window()->List();
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  std::vector<int> rows;
  for (int n = 0, index; (index = list.CurrentSelection(n)) >= 0; n++) rows.push_back(index);
  return rows;
}

std::string Program::ScratchFolder() {
  scratch_.push_back(testsupport::MakeScratchFolder());
  return scratch_.back();
}

std::vector<sim::PictureSpec> Pictures(int count) {
  std::vector<sim::PictureSpec> pictures;
  for (int i = 0; i < count; i++) {
    sim::PictureSpec spec;
    char name[24];
    snprintf(name, sizeof name, "IMG_%04d.JPG", i + 1);
    spec.name = name;
    spec.width = 320;
    spec.height = 240;
    spec.date = 1000000000u + uint32_t(i) * 60;
    pictures.push_back(spec);
  }
  return pictures;
}

}  // namespace programtest
