// An upload as the program runs it: a folder of source files, a test host, an alert
// recorder and a simulated camera (or another device) plugged in and configured.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimCamera.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"
#include "tests/support/AlertRecorder.h"

namespace upload_test {

constexpr char kCameraPath[] = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

// Bytes that differ from chunk to chunk, so that a chunk sent twice or out of place shows.
std::vector<uint8_t> Pattern(size_t size);

// A fresh folder, removed with its files afterwards.
class SourceFolder {
 public:
  SourceFolder();
  ~SourceFolder();
  // Writes a file of these bytes; its path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A host that also notes, at each close of the status window, how many alerts had been shown.
class UploadHost : public listing_test::RecordingHost {
 public:
  explicit UploadHost(testsupport::AlertRecorder& alerts) : alerts_(alerts) {}
  void closestatus() override;
  void updatestatus(unsigned long delta, const char* text) override;
  std::vector<size_t> alerts_at_close;
  // Called after each progress report is recorded.
  std::function<void(unsigned long delta)> on_progress;

 private:
  testsupport::AlertRecorder& alerts_;
};

class UploadTest : public testing::Test {
 protected:
  explicit UploadTest(std::shared_ptr<sim::SimDevice> device = std::make_shared<sim::SimCamera>());

  bool Upload(const std::string& path);
  // Bulk and control transfers of the upload, in order.
  const std::vector<sim::TransferRecord>& Transfers() const { return transfers_; }
  // What the camera holds at the upload's path; empty when nothing is there.
  std::vector<uint8_t> OnCamera() const;

  SourceFolder folder_;
  testsupport::AlertRecorder alerts_;
  UploadHost host_{alerts_};
  std::shared_ptr<sim::SimDevice> device_;
  listing_test::PluggedDevice plugged_;

 private:
  std::vector<sim::TransferRecord> transfers_;
};

}  // namespace upload_test
