// The typed attributes of a downloaded file: width and height as the picture shows once
// turned, flash as a truth value, the camera's date read as local time.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <string>

#include "camera/PictureAttributes.h"
#include "exif/SetJPEGFileAttrs.h"
#include "sim/PictureMaker.h"
#include "tests/camera/download_fixture.h"
#include "tests/support/FlashValues.h"

namespace download_test {
namespace {

class FileAttributes : public testing::Test {
 protected:
  void TearDown() override { tzset(); }

  // Writes the attributes of the record on a new file, in the zone given.
  void Write(pic_Item* record, const char* zone = "UTC0") {
    EnvironmentSetting tz("TZ", std::string(zone));
    tzset();
    int fd = open("picture", O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    ASSERT_NE(fd, -1);
    SetJPEGFileAttrs(fd, record);
    close(fd);
  }
  int32_t Long(const char* name) {
    std::optional<std::vector<uint8_t>> value = Attribute("picture", name);
    if (!value || value->size() != 8 || std::string(value->begin(), value->begin() + 4) != "LONG")
      return -12345;
    int32_t number;
    memcpy(&number, value->data() + 4, 4);
    return number;
  }
  std::vector<uint8_t> Date() {
    std::optional<std::vector<uint8_t>> value = Attribute("picture", "EXIF:Date");
    return value.value_or(std::vector<uint8_t>{});
  }

  ScratchFolder folder;
};

TEST_F(FileAttributes, WidthAndHeightAreThoseOfThePictureAsStored) {
  // A picture that is still to be turned is described as it is stored: should the turn
  // fail, the file stays so. The turned file gets the size it has (below).
  for (uint32_t orientation : {0u, 1u, 3u, 6u, 7u, 8u}) {
    std::unique_ptr<pic_Item> record = Record(kExamplePath, orientation, 640, 480);
    Write(record.get());
    EXPECT_EQ(Long("GRAFX:Width"), 640) << orientation;
    EXPECT_EQ(Long("GRAFX:Height"), 480) << orientation;
    unlink("picture");
  }
}

TEST_F(FileAttributes, TurnedFileGetsTheSizeItHas) {
  std::unique_ptr<pic_Item> record = Record(kExamplePath, 6, 2272, 1704, 1, 1000000000);
  int fd = open("picture", O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  ASSERT_NE(fd, -1);
  SetJPEGFileAttrs(fd, record.get(), 1696, 2272);
  close(fd);
  EXPECT_EQ(Long("GRAFX:Width"), 1696);
  EXPECT_EQ(Long("GRAFX:Height"), 2272);
  EXPECT_EQ(Attribute("picture", "EXIF:Flash"), (std::vector<uint8_t>{'B', 'O', 'O', 'L', 1}));
  EXPECT_EQ(Date().size(), 12u);
}

// A picture whose EXIF data gives no size is described by the frame it holds.
TEST_F(FileAttributes, WithoutAnExifSizeTheFrameGivesIt) {
  std::vector<uint8_t> jpeg = sim::MakePicture({"IMG_0001.JPG", 320, 240, 1, 0, 1000000000});
  struct Case {
    uint32_t width, height;  // as the record has them from the EXIF data
    int32_t expected_width, expected_height;
  };
  for (const Case& test : {Case{0, 0, 320, 240}, Case{640, 480, 640, 480}}) {
    std::unique_ptr<pic_Item> record = Record(kExamplePath, 1, test.width, test.height);
    int fd = open("picture", O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    ASSERT_NE(fd, -1);
    ASSERT_EQ(write(fd, jpeg.data(), jpeg.size()), ssize_t(jpeg.size()));
    EXPECT_EQ(TypePictureFile(fd, record.get(), int32_t(test.width), int32_t(test.height)), 0);
    close(fd);
    EXPECT_EQ(Long("GRAFX:Width"), test.expected_width) << test.width;
    EXPECT_EQ(Long("GRAFX:Height"), test.expected_height) << test.width;
    unlink("picture");
  }
}

TEST_F(FileAttributes, FlashIsOneByteOfTruthFromBitZero) {
  for (const testsupport::FlashValue& flash : testsupport::kFlashValues) {
    std::unique_ptr<pic_Item> record = Record(kExamplePath, 1, 640, 480, flash.value);
    Write(record.get());
    EXPECT_EQ(Attribute("picture", "EXIF:Flash"),
              (std::vector<uint8_t>{'B', 'O', 'O', 'L', uint8_t(flash.fired)}))
        << flash.value;
    unlink("picture");
  }
}

TEST_F(FileAttributes, DateInUtcIsTheCamerasCount) {
  std::unique_ptr<pic_Item> record = Record(kExamplePath, 1, 640, 480, 0, 1000000000);
  Write(record.get());
  int64_t expected = 1000000000;
  EXPECT_EQ(Date(), Typed("TIME", &expected, 8));
}

TEST_F(FileAttributes, DateIsTheCamerasClockReadAsLocalTime) {
  // Two hours east of Greenwich: the same clock reading is two hours earlier.
  std::unique_ptr<pic_Item> record = Record(kExamplePath, 1, 640, 480, 0, 1000000000);
  Write(record.get(), "XYZ-2");
  int64_t expected = 1000000000 - 7200;
  EXPECT_EQ(Date(), Typed("TIME", &expected, 8));
}

TEST_F(FileAttributes, NegativeDateFillsTheUpperBytes) {
  std::unique_ptr<pic_Item> record = Record(kExamplePath, 1, 640, 480, 0, 0);
  Write(record.get(), "XYZ-2");
  EXPECT_EQ(Date(), (std::vector<uint8_t>{'T', 'I', 'M', 'E', 0xe0, 0xe3, 0xff, 0xff, 0xff, 0xff,
                                          0xff, 0xff}));
}

TEST_F(FileAttributes, DatesPast2038StayRight) {
  std::unique_ptr<pic_Item> record = Record(kExamplePath, 1, 640, 480, 0, 3000000000u);
  Write(record.get());
  int64_t expected = 3000000000;
  EXPECT_EQ(Date(), Typed("TIME", &expected, 8));
}

// ramfs keeps no extended attributes at all.
TEST_F(Download, VolumeWithoutAttributesStillTakesThePicture) {
  sim::CameraFile file = Counting(5000);
  Put(file);
  Plug();
  std::optional<std::string> seen = InChild([&] {
    if (!MountInNamespace(folder.Path(), "ramfs", "")) return std::string("no namespace");
    bool ok = GetExample();
    bool same = ReadFile(kExampleName) == file.bytes;
    bool typed = Attribute(kExampleName, "mime_type").has_value();
    return std::string(ok ? "true" : "false") + (same ? " same" : " differs") +
           (typed ? " typed" : " untyped") + " " + std::to_string(alerts.Texts().size());
  });
  ASSERT_TRUE(seen);
  if (*seen == "no namespace") GTEST_SKIP() << "no user namespaces here";
  EXPECT_EQ(*seen, "true same untyped 0");
}

}  // namespace
}  // namespace download_test
