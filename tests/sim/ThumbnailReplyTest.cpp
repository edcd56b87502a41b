#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "kit/JpegSegments.h"
#include "tests/sim/CameraHost.h"
#include "tests/support/Samples.h"

namespace {

using simtest::CameraHost;

std::vector<uint8_t> Sample(const std::string& name) {
  std::ifstream in(std::filesystem::path(testsupport::SamplesDirectory()) / name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The end of the segment whose marker stands at `at`, from its own length field.
size_t SegmentEnd(const std::vector<uint8_t>& file, size_t at) {
  return at + 2 + (file[at + 2] << 8 | file[at + 3]);
}

std::vector<uint8_t> ThumbnailReply(const std::vector<uint8_t>& file) {
  CameraHost host;
  host.Camera().AddFile("100CANON", {"IMG_0001.JPG", 0x20, 1, file});
  std::vector<uint8_t> data;
  EXPECT_TRUE(host.Send(simtest::PictureCommand("D:\\DCIM\\100CANON\\IMG_0001.JPG", 1)));
  EXPECT_TRUE(host.ReadDataReply(&data));
  EXPECT_EQ(host.Camera().PendingReply(), 0u);
  return data;
}

TEST(ThumbnailReply, EndsWhereTheApp1SegmentOfARealPictureEnds) {
  SKIP_WITHOUT_SAMPLES();
  for (const char* name : {"canon-ixus.jpg", "olympus-c960.jpg", "fujifilm-dx10.jpg"}) {
    std::vector<uint8_t> file = Sample(name);
    ASSERT_GT(file.size(), 4u) << name;
    ASSERT_EQ(file[3], 0xE1) << name << " starts with APP1";
    size_t end = SegmentEnd(file, 2);
    std::vector<uint8_t> reply = ThumbnailReply(file);
    EXPECT_EQ(reply, std::vector<uint8_t>(file.begin(), file.begin() + end)) << name;
    EXPECT_LT(reply.size(), file.size()) << name;
  }
}

TEST(ThumbnailReply, PassesAJfifSegmentBeforeApp1) {
  SKIP_WITHOUT_SAMPLES();
  std::vector<uint8_t> file = Sample("canon-powershot-s40-jfif.jpg");
  ASSERT_EQ(file[3], 0xE0);
  size_t app1 = SegmentEnd(file, 2);
  ASSERT_EQ(file[app1 + 1], 0xE1);
  size_t end = SegmentEnd(file, app1);
  EXPECT_EQ(ThumbnailReply(file), std::vector<uint8_t>(file.begin(), file.begin() + end));
}

TEST(ThumbnailReply, WithoutApp1TheReplyHasNoExif) {
  // SOI, APP0 (6 bytes), fill byte, DQT (4 bytes), SOS...
  std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE0, 0, 6, 'J', 'F',  'I',  'F',
                               0xFF, 0xFF, 0xDB, 0,    4, 1, 2,   0xFF, 0xDA, 0};
  EXPECT_EQ(ThumbnailReply(file), std::vector<uint8_t>(file.begin(), file.begin() + 10));
  std::vector<uint8_t> bare = {0xFF, 0xD8, 0xFF, 0xDA, 0, 2};
  EXPECT_EQ(ThumbnailReply(bare), std::vector<uint8_t>(bare.begin(), bare.begin() + 2));
  EXPECT_TRUE(ThumbnailReply({'R', 'I', 'F', 'F'}).empty()) << "not a JPEG";
}

TEST(JpegSegments, WalksByLengthAndStopsAtTheImageData) {
  std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0,    0xFF, 0xD0,  // RST0
                               0xFF, 0xE1, 0,    5,    1, 2, 3, 0xFF, 0xDA, 0,
                               2,    0xFF, 0xE1, 0,    2};
  std::vector<kit::JpegSegment> segments = kit::HeadSegments(file);
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_EQ(segments[0].marker, 0xE0);
  EXPECT_EQ(segments[0].end, 8u);
  EXPECT_EQ(segments[1].marker, 0xE1);
  EXPECT_EQ(segments[1].start, 10u);
  EXPECT_EQ(segments[1].body, 14u);
  EXPECT_EQ(segments[1].end, 17u);
  EXPECT_EQ(kit::ThumbnailReplyLength(file), 17u);
}

TEST(JpegSegments, ASegmentRunningPastTheFileIsNoSegment) {
  std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE1, 0x10, 0x00, 1, 2, 3};
  EXPECT_TRUE(kit::HeadSegments(file).empty());
  EXPECT_EQ(kit::ThumbnailReplyLength(file), 2u);
  std::vector<uint8_t> tiny_length = {0xFF, 0xD8, 0xFF, 0xE1, 0, 1, 0xFF, 0xD9};
  EXPECT_TRUE(kit::HeadSegments(tiny_length).empty());
  EXPECT_TRUE(kit::HeadSegments(std::vector<uint8_t>{0xFF, 0xD8, 0xFF}).empty());
  EXPECT_TRUE(kit::HeadSegments(std::vector<uint8_t>{}).empty());
}

}  // namespace
