// How the reply is read from the pipe: pieces, short and empty reads, failed transfers,
// replies cut short, and what is left for the next reply.
#include <gtest/gtest.h>

#include "app/pic_Item.h"
#include "exif/ReplyReader.h"
#include "tests/exif/ReplyBuilder.h"
#include "tests/exif/ReplyPipe.h"

namespace exiftest {
namespace {

// Big enough to take three pieces.
std::vector<uint8_t> LargeThumbnail() {
  std::vector<uint8_t> bytes(9000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
  return bytes;
}

std::vector<uint8_t> Joined(std::vector<uint8_t> first, const std::vector<uint8_t>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST(Reading, EveryRequestIsAPieceOrWhatRemains) {
  std::vector<uint8_t> reply = CameraReply(LargeThumbnail());
  std::vector<uint32_t> pieces = {1, 4095, 3, 0, 2000, 17, 0, 0, 5000, 999, 1};
  Parsed parsed = ParseReply(reply, pieces);
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.thumbnail, LargeThumbnail());

  ReplyPipe pipe(reply, pieces);
  pic_Item picture;
  kit::ByteStream thumbnail;
  ASSERT_TRUE(pipe.Parse(reply.size(), &picture, &thumbnail));
  // A short read changes nothing: the next request is again for min(remaining, 4096).
  std::vector<uint32_t> asked;
  for (const sim::TransferRecord& record : pipe.Device().Transfers())
    asked.push_back(record.requested);
  uint32_t size = uint32_t(reply.size());
  ASSERT_GT(size, 6099u + 17u);
  ASSERT_LT(size - 6099, 4096u) << "the test wants the tail to fit one piece";
  std::vector<uint32_t> expected = {4096,        4096,        4096,        4096,       4096,
                                    size - 6099, size - 6116, size - 6116, size - 6116};
  EXPECT_EQ(asked, expected);
}

TEST(Reading, EmptyReadsAreGivenUpAfterABound) {
  std::vector<uint8_t> reply = CameraReply(LargeThumbnail());
  std::vector<uint32_t> patient(exif::ReplyReader::kMaxEmptyReads - 1, 0);
  EXPECT_TRUE(ParseReply(reply, patient).ok);
  std::vector<uint32_t> stuck(exif::ReplyReader::kMaxEmptyReads, 0);
  Parsed parsed = ParseReply(reply, stuck);
  EXPECT_FALSE(parsed.ok);
  // Given up, the reader does not know where the reply stands: it reads everything that
  // still comes, so that the next reply starts clean.
  EXPECT_EQ(parsed.unread, 0u);
}

TEST(Reading, FailedTransferFailsAndKeepsTheValuesFound) {
  std::vector<uint8_t> reply = CameraReply(LargeThumbnail());
  ReplyPipe pipe(reply);
  pipe.Device().FailTransfer(pipe.Device().TransferCount() + 2);
  pic_Item picture;
  kit::ByteStream thumbnail;
  EXPECT_FALSE(pipe.Parse(reply.size(), &picture, &thumbnail));
  EXPECT_EQ(picture.orientation, 6u);
  EXPECT_EQ(picture.xres, 800u);
}

// Whatever the walk makes of a reply, the next reply on the pipe parses from its start.
TEST(Reading, TheNextReplyStartsWhereThisOneEnds) {
  std::vector<uint8_t> good = CameraReply(LargeThumbnail());
  std::vector<uint8_t> padded = Joined(CameraReply({1, 2, 3}), std::vector<uint8_t>(5000, 0));
  std::vector<uint8_t> not_jpeg = good;
  not_jpeg[0] = 0;
  std::vector<uint8_t> bad_identifier = good;
  bad_identifier[8] = 'X';
  for (const auto& first : {padded, not_jpeg, bad_identifier}) {
    ReplyPipe pipe(Joined(first, good));
    pic_Item picture;
    kit::ByteStream ignored;
    pipe.Parse(first.size(), &picture, &ignored);
    EXPECT_EQ(pipe.Unread(), good.size());
    pic_Item next;
    kit::ByteStream thumbnail;
    EXPECT_TRUE(pipe.Parse(good.size(), &next, &thumbnail));
    EXPECT_EQ(next.yres, 600u);
    EXPECT_EQ(thumbnail.Size(), LargeThumbnail().size());
  }
}

// No thumbnail inside an EXIF segment can be longer than the segment: such a length is a
// broken entry, and nothing is kept or set aside for it.
TEST(Reading, ThumbnailLongerThanAnySegmentIsIgnored) {
  Parsed parsed = ParseReply(
      ReplyBuilder()
          .Directory(8, {Long(kExifOffset, 40)}, 60)
          .Directory(40, {Short(kFlash, 1)})
          .Directory(60, {Long(kThumbnailOffset, 100), Long(kThumbnailLength, 0xFFFFFFFF)})
          .Bytes(100, {0xFF, 0xD8, 9})
          .Build());
  EXPECT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.thumbnail.empty());
}

struct Cut {
  const char* phase;
  size_t length;  // bytes of the camera reply that arrive
  uint32_t orientation, flash;
  size_t thumbnail;
};

class CutShort : public testing::TestWithParam<Cut> {};

// Positions in the camera reply: the TIFF block starts at byte 12, the main directory at 20
// (orientation in its first entry, link at 46), the Exif directory at 52 (flash first), the
// thumbnail at 412.
INSTANTIATE_TEST_SUITE_P(InEachPhase, CutShort,
                         testing::Values(Cut{"StartOfImage", 1, 0, 0, 0}, Cut{"Marker", 3, 0, 0, 0},
                                         Cut{"Identifier", 9, 0, 0, 0},
                                         Cut{"TiffHeader", 13, 0, 0, 0},
                                         Cut{"EntryCount", 21, 0, 0, 0}, Cut{"Entry", 40, 6, 0, 0},
                                         Cut{"DirectoryLink", 48, 6, 0, 0},
                                         Cut{"ExifEntry", 60, 6, 0, 0},
                                         Cut{"Thumbnail", 415, 6, 1, 3}),
                         [](const auto& info) { return std::string(info.param.phase); });

TEST_P(CutShort, ByItsLengthSucceedsWithWhatItHeld) {
  std::vector<uint8_t> reply = CameraReply(LargeThumbnail());
  reply.resize(GetParam().length);
  Parsed parsed = ParseReply(reply);
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.orientation, GetParam().orientation);
  EXPECT_EQ(parsed.flash, GetParam().flash);
  EXPECT_EQ(parsed.thumbnail.size(), GetParam().thumbnail);
}

TEST_P(CutShort, ByACameraThatStopsSendingFails) {
  std::vector<uint8_t> reply = CameraReply(LargeThumbnail());
  size_t promised = reply.size();
  reply.resize(GetParam().length);
  ReplyPipe pipe(reply);
  pic_Item picture;
  kit::ByteStream thumbnail;
  EXPECT_FALSE(pipe.Parse(promised, &picture, &thumbnail));
  EXPECT_EQ(picture.orientation, GetParam().orientation);
  EXPECT_EQ(picture.flash, GetParam().flash);
}

}  // namespace
}  // namespace exiftest
