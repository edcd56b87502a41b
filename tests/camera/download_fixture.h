// A download test: the simulated camera holding the pictures, the program around the
// protocol, alerts answered without a window and a scratch folder as the current one.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/pic_Item.h"
#include "sim/SimCamera.h"
#include "tests/camera/download_support.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"
#include "tests/support/AlertRecorder.h"

namespace download_test {

// The camera path of the examples, and the folder it lies in.
inline constexpr char kExamplePath[] = "D:\\DCIM\\112CANON\\IMG_1205.JPG";
inline constexpr char kExampleFolder[] = "112CANON";
inline constexpr char kExampleName[] = "IMG_1205.JPG";

// A file of `size` bytes that count up, named as the examples.
sim::CameraFile Counting(size_t size, const std::string& name = kExampleName);

// The record the listing and the EXIF parser make of a picture.
std::unique_ptr<pic_Item> Record(const char* path, uint32_t orientation = 1, uint32_t xres = 640,
                                 uint32_t yres = 480, uint32_t flash = 0, uint32_t date = 1000);

// A camera that gives the file `name` to a file of its own ("mine") in the current folder
// while a picture is on its way, just before the second piece of data.
class IntrudingCamera : public sim::SimCamera {
 public:
  explicit IntrudingCamera(std::string name) : name_(std::move(name)) {}

 protected:
  kit::RawReply HandlePipe(sim::TransferKind kind, uint8_t endpoint, uint8_t* data,
                           uint32_t* length) override;

 private:
  std::string name_;
  int reads_ = 0;
};

class Download : public testing::Test {
 protected:
  // Puts the file into the example folder, for the camera plugged in afterwards.
  void Put(const sim::CameraFile& file) { camera->AddFile(kExampleFolder, file); }
  void Plug() { plugged = std::make_unique<listing_test::PluggedDevice>(camera); }
  // Downloads with standard error captured into `printed`.
  bool Get(const char* path, pic_Item* record);
  bool GetExample(uint32_t orientation = 1);

  listing_test::RecordingHost host;
  testsupport::AlertRecorder alerts;
  ScratchFolder folder;
  std::shared_ptr<sim::SimCamera> camera = std::make_shared<sim::SimCamera>();
  std::unique_ptr<listing_test::PluggedDevice> plugged;
  std::string printed;
};

}  // namespace download_test
