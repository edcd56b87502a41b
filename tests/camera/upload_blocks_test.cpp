// The blocks of an upload chunk and the progress line, byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "camera/UploadBlocks.h"
#include "camera/UploadProgress.h"
#include "tests/camera/listing_bytes.h"
#include "tests/camera/upload_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(UploadBlocks, AnnouncementGivesTheSizeOfTheDataBlock) {
  Bytes buffer(kAnnouncementSize + 16, 0xEE);
  BuildAnnouncement(buffer.data(), UploadBlockLength(768));
  Bytes expected(kAnnouncementSize, 0);
  expected[4] = 0x03;
  expected[5] = 0x02;
  expected[6] = 0x7A;  // 826 + 64 = 890
  expected[7] = 0x03;
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + kAnnouncementSize), expected);
  EXPECT_EQ(buffer[kAnnouncementSize], 0xEE) << "wrote past the announcement";
}

TEST(UploadBlocks, DataBlockOfTheLastPartialChunk) {
  Bytes chunk = upload_test::Pattern(232);
  Bytes buffer(400, 0xEE);
  ASSERT_EQ(BuildDataBlock(buffer.data(), 768, chunk.data(), chunk.size()), 354u);
  Bytes expected(354, 0);
  expected[0] = 0x22;  // L = 290
  expected[1] = 0x01;
  expected[4] = 0x03;
  expected[5] = 0x04;
  expected[64] = 0x02;
  expected[68] = 0x03;
  expected[71] = 0x11;
  expected[72] = 0x22;
  expected[73] = 0x01;
  const Bytes tag = {0x78, 0x56, 0x34, 0x12};
  std::copy(tag.begin(), tag.end(), expected.begin() + 76);
  expected[80] = 0x02;
  expected[84] = 0x00;  // offset 768
  expected[85] = 0x03;
  expected[88] = 232;
  memcpy(&expected[92], upload_test::kCameraPath, 29);  // its NUL is already there
  std::copy(chunk.begin(), chunk.end(), expected.begin() + 122);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 354), expected);
  EXPECT_EQ(buffer[354], 0xEE) << "wrote past the block";
}

TEST(UploadBlocks, ABlockOfAFewBytesStillClearsTheHeaderArea) {
  Bytes buffer(128, 0xEE);
  ASSERT_EQ(BuildDataBlock(buffer.data(), 0x01020304, reinterpret_cast<const uint8_t*>("ab"), 2),
            124u);
  EXPECT_EQ(Bytes(buffer.begin() + 84, buffer.begin() + 88), (Bytes{4, 3, 2, 1}));
  EXPECT_EQ(Bytes(buffer.begin() + 121, buffer.end()), (Bytes{0, 'a', 'b', 0, 0, 0, 0}));
}

// The line sits at the very end of readable memory: writing past its 100 bytes faults.
std::string Progress(const std::string& path) {
  listing_test::GuardedBytes line(std::vector<uint8_t>(kStatusLineSize, 0xEE));
  return UploadProgressText(reinterpret_cast<char*>(line.Data()), path.c_str());
}

TEST(UploadProgress, NamesTheFileWithoutItsFolders) {
  EXPECT_EQ(Progress("/boot/home/pictures/holiday.jpg"), "Uploading holiday.jpg.");
  EXPECT_EQ(Progress("holiday.jpg"), "Uploading holiday.jpg.");
}

TEST(UploadProgress, ALongNameIsCutBetweenCharacters) {
  std::string text = Progress("/tmp/" + std::string(255, 'n'));
  EXPECT_EQ(text, "Uploading " + std::string(88, 'n') + ".");
  std::string accents;
  for (int i = 0; i < 100; i++) accents += "\xC3\xA9";  // é
  text = Progress("/tmp/x" + accents);
  EXPECT_EQ(text, "Uploading x" + accents.substr(0, 86) + ".");
}

}  // namespace
