#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/PictureList.h"
#include "app/ptv_App.h"
#include "kit/Platform.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "tests/app/RecordingWindows.h"
#include "tests/app/picture_list_watch.h"
#include "tests/support/AlertRecorder.h"
#include "usb/USBDevice.h"

namespace {

using testing::HasSubstr;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

constexpr char kNode[] = "/dev/bus/usb/001/002";

// Waits up to five seconds for the condition.
bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 500; i++) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

class Session : public testing::Test {
 protected:
  void SetUp() override {
    platform_ = std::make_shared<sim::SimPlatform>();
    kit::InstallPlatform(platform_);
    Bus().AddDirectory("/dev/bus/usb/001");
  }
  void TearDown() override {
    application_.reset();
    app = nullptr;
    kit::InstallPlatform(nullptr);
  }

  sim::SimBus& Bus() { return platform_->Bus(); }

  static std::shared_ptr<sim::SimCamera> Camera(int pictures, uint32_t first_date = 1000) {
    auto camera = std::make_shared<sim::SimCamera>();
    for (int i = 0; i < pictures; i++)
      camera->AddFile("100CANON", {"IMG_000" + std::to_string(i + 1) + ".JPG",
                                   0x20,
                                   first_date + uint32_t(i),
                                   {0xFF, 0xD8, 0xFF, 0xD9}});
    return camera;
  }

  // Starts the application and waits until its start-up sequence is over.
  void Start() {
    application_ = std::make_unique<ptv_App>(windows_, [] {});
    app = application_.get();
    app->Start();
    ASSERT_TRUE(Eventually([this] { return window_.shown.load(); }));
    // The start-up runs while the application's looper holds its lock.
    app->Lock();
    app->Unlock();
  }

  int Rows() {
    std::lock_guard<std::recursive_mutex> guard(window_.list.Mutex());
    return window_.list.CountItems();
  }

  std::shared_ptr<sim::SimPlatform> platform_;
  testsupport::AlertRecorder alerts_;
  apptest::RecordingWindows windows_;
  apptest::PlainMainWindow& window_ = windows_.main;
  std::unique_ptr<ptv_App> application_;
};

TEST_F(Session, ACameraPresentAtStartFillsTheListNewestFirst) {
  Bus().Plug(kNode, Camera(3));
  CaptureStderr();
  Start();
  GetCapturedStderr();
  ASSERT_EQ(Rows(), 3);
  EXPECT_STREQ(window_.list.ItemAt(0)->GetName(), "D:\\DCIM\\100CANON\\IMG_0003.JPG");
  std::vector<std::string> calls = windows_.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "listing read 3"), 1);
  EXPECT_EQ(app->ProductID(), 0x3049);
  USBDevice* camera = app->OpenCamera();
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(camera->ProductID(), 0x3049);
  app->CloseCamera();
  EXPECT_TRUE(alerts_.Texts().empty());
}

TEST_F(Session, WithoutACameraTheListStaysEmpty) {
  Start();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(app->OpenCamera(), nullptr);
}

TEST_F(Session, AnUnpluggedCameraIsForgottenButItsRowsStay) {
  Bus().Plug(kNode, Camera(2));
  CaptureStderr();
  Start();
  Bus().Remove(kNode);
  ASSERT_TRUE(Eventually([] { return app->CurrentCamera() == nullptr; }));
  EXPECT_THAT(GetCapturedStderr(), HasSubstr("\nDevice Removed.\n"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(app->OpenCamera(), nullptr);
}

TEST_F(Session, ACameraPluggedInLaterReplacesTheList) {
  Bus().Plug(kNode, Camera(2));
  CaptureStderr();
  Start();
  Bus().Plug("/dev/bus/usb/001/003", Camera(4, 5000));
  ASSERT_TRUE(Eventually([this] { return Rows() == 4; }));
  GetCapturedStderr();
  EXPECT_STREQ(window_.list.ItemAt(0)->GetName(), "D:\\DCIM\\100CANON\\IMG_0004.JPG");
  EXPECT_EQ(window_.list.ItemAt(0)->date, 5003u);
}

TEST_F(Session, OtherDevicesChangeNothing) {
  Bus().Plug(kNode, Camera(1));
  CaptureStderr();
  Start();
  USBDevice* camera = app->CurrentCamera();
  Bus().Plug("/dev/bus/usb/001/009",
             std::make_shared<sim::SimDevice>(sim::MakeDeviceSet(
                 0x046D, 0xC077, {sim::MakeEndpointDescriptor(0x81, sim::kInterrupt)}, u"Logi",
                 u"Mouse")));
  // The mouse is examined on the roster thread; a camera behind it shows it is done.
  auto sentinel = std::make_shared<sim::SimCamera>(0x3042);
  Bus().Plug("/dev/bus/usb/001/010", sentinel);
  ASSERT_TRUE(Eventually([] { return app->ProductID() == 0x3042; }));
  GetCapturedStderr();
  EXPECT_EQ(app->CurrentCamera(), camera);
  EXPECT_EQ(Rows(), 1);
  EXPECT_TRUE(alerts_.Texts().empty());
}

TEST_F(Session, RemovalWaitsForTheRunningOperation) {
  Bus().Plug(kNode, Camera(1));
  CaptureStderr();
  Start();
  USBDevice* camera = app->OpenCamera();
  ASSERT_NE(camera, nullptr);
  watch::Watch(camera);
  Bus().Remove(kNode);
  // The roster's removal waits for the camera lock; meanwhile the operation goes on with a
  // device whose transfers fail at once.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(watch::Freed(camera));
  unsigned char byte = 0;
  EXPECT_EQ(camera->ControlTransfer(0xC0, 0x0C, 0x55, 0, 1, &byte), -1);
  EXPECT_EQ(camera->ProductID(), 0x3049);
  app->CloseCamera();
  ASSERT_TRUE(Eventually([&] { return watch::Freed(camera); }));
  EXPECT_EQ(app->CurrentCamera(), nullptr);
  GetCapturedStderr();
}

TEST_F(Session, AFailedHandshakeLeavesTheCurrentCamera) {
  Bus().Plug(kNode, Camera(1));
  CaptureStderr();
  Start();
  USBDevice* camera = app->CurrentCamera();
  auto broken = Camera(2);
  broken->FailTransfer(2);
  Bus().Plug("/dev/bus/usb/001/003", broken);
  ASSERT_TRUE(Eventually([this] { return alerts_.Texts().size() == 1; }));
  EXPECT_EQ(alerts_.Texts()[0], "Could not initialize the camera (2)");
  EXPECT_EQ(app->CurrentCamera(), camera);
  EXPECT_EQ(Rows(), 1);
  GetCapturedStderr();
}

}  // namespace
