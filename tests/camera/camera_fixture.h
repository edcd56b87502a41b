// A test of commands against the simulated camera, which checks their layout from its own
// side: the host, the camera, and the camera plugged in once the test has filled it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "sim/SimCamera.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"

namespace listing_test {

class CameraCommandTest : public testing::Test {
 protected:
  void PlugCamera() { plugged = std::make_unique<PluggedDevice>(camera); }
  // The camera found every request well formed, and no reply is left unread.
  void ExpectCameraContent() {
    EXPECT_TRUE(camera->Problems().empty()) << camera->Problems()[0];
    EXPECT_EQ(camera->PendingReply(), 0u);
  }

  RecordingHost host;
  std::shared_ptr<sim::SimCamera> camera = std::make_shared<sim::SimCamera>();
  std::unique_ptr<PluggedDevice> plugged;
};

}  // namespace listing_test
