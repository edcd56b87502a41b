// The attribute and delete commands against the simulated camera, which checks their
// layout from its own side and keeps what they change.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "camera/ixus_attrs.h"
#include "tests/camera/camera_fixture.h"

namespace download_test {
namespace {

constexpr char kPath[] = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

class CameraPictureCommands : public listing_test::CameraCommandTest {
 protected:
  CameraPictureCommands() {
    camera->AddFile("112CANON", {"IMG_1205.JPG", 0x20, 1000, {0xFF, 0xD8, 0xFF, 0xD9}});
    PlugCamera();
  }
};

TEST_F(CameraPictureCommands, SetAttributesStoresTheByte) {
  for (unsigned char attributes : {0x00, 0x21, 0x01, 0x20}) {
    ASSERT_TRUE(ixus_setattr(plugged->Device(), host.CameraBuffer(), kPath, attributes));
    ASSERT_TRUE(camera->FindFile(kPath));
    EXPECT_EQ(camera->FindFile(kPath)->attributes, attributes);
  }
  ExpectCameraContent();
}

TEST_F(CameraPictureCommands, DeleteRemovesThePicture) {
  EXPECT_EQ(ixus_delete(plugged->Device(), host.CameraBuffer(), kPath), kDeleted);
  EXPECT_FALSE(camera->FindFile(kPath));
  ExpectCameraContent();
}

TEST_F(CameraPictureCommands, ProtectedPictureStays) {
  ASSERT_TRUE(ixus_setattr(plugged->Device(), host.CameraBuffer(), kPath, 0x01));
  long status = ixus_delete(plugged->Device(), host.CameraBuffer(), kPath);
  EXPECT_NE(status, kDeleted);
  EXPECT_NE(status, -1);
  EXPECT_TRUE(camera->FindFile(kPath));
  ExpectCameraContent();
}

TEST_F(CameraPictureCommands, SetAttributesIgnoresAStatusOfRefusal) {
  sim::StatusWords words;
  words.attributes_set = 0x0200008C;
  camera->SetStatus(words);
  EXPECT_TRUE(ixus_setattr(plugged->Device(), host.CameraBuffer(), kPath, 0x00));
}

}  // namespace
}  // namespace download_test
