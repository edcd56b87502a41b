// How the walk reads the layout of a reply: markers, directories, entries, offsets.
#include <gtest/gtest.h>

#include "app/pic_Item.h"
#include "tests/exif/ReplyBuilder.h"
#include "tests/exif/ReplyPipe.h"

namespace exiftest {
namespace {

const std::vector<uint8_t> kThumbnail = {0xFF, 0xD8, 1, 2, 3, 4, 5, 0xFF, 0xD9};

// A main directory with `main` entries and the Exif offset, an Exif directory of `exif`
// entries at 60, nothing after it.
std::vector<uint8_t> TwoDirectories(std::vector<Entry> main, std::vector<Entry> exif) {
  main.push_back(Long(kExifOffset, 60));
  return ReplyBuilder().Directory(8, main).Directory(60, exif).Build();
}

TEST(Walk, CameraLayoutGivesValuesAndExactlyTheThumbnail) {
  std::vector<uint8_t> reply = CameraReply(kThumbnail);
  reply.insert(reply.end(), 50, 0xAB);  // the rest of the segment, after the thumbnail
  Parsed parsed = ParseReply(reply);
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.orientation, 6u);
  EXPECT_EQ(parsed.flash, 1u);
  EXPECT_EQ(parsed.xres, 800u);
  EXPECT_EQ(parsed.yres, 600u);
  EXPECT_EQ(parsed.thumbnail, kThumbnail);
  EXPECT_EQ(parsed.unread, 0u);
}

TEST(Walk, ZeroLengthReadsNothingAndTouchesNothing) {
  ReplyPipe pipe(CameraReply(kThumbnail));
  pic_Item picture;
  picture.set_XRes(7);
  kit::ByteStream thumbnail;
  EXPECT_TRUE(pipe.Parse(0, &picture, &thumbnail));
  EXPECT_EQ(pipe.Unread(), CameraReply(kThumbnail).size());
  EXPECT_EQ(picture.xres, 7u);
  EXPECT_EQ(thumbnail.Size(), 0u);
}

TEST(Walk, AnythingButStartOfImageFails) {
  std::vector<uint8_t> reply = CameraReply(kThumbnail);
  reply[1] = 0xD9;
  Parsed parsed = ParseReply(reply);
  EXPECT_FALSE(parsed.ok);
  EXPECT_EQ(parsed.orientation, 0u);
  EXPECT_EQ(parsed.unread, 0u);
}

class IdentifierByte : public testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(EachOfSix, IdentifierByte, testing::Range(0, 6));

TEST_P(IdentifierByte, ThatDiffersFails) {
  std::vector<uint8_t> reply = CameraReply(kThumbnail);
  reply[6 + GetParam()] ^= 0x01;
  Parsed parsed = ParseReply(reply);
  EXPECT_FALSE(parsed.ok);
  EXPECT_EQ(parsed.orientation, 0u);
}

TEST(Walk, MetadataSegmentsBeforeExifArePassedOver) {
  std::vector<uint8_t> segments = {
      0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0,  // JFIF
      0xFF, 0xFE, 0, 5,  'h', 'i', '!',                                     // a comment
      0xFF, 0xE2, 0, 2,                                                     // an empty APP2
  };
  Parsed parsed =
      ParseReply(ReplyBuilder()
                     .Before(segments)
                     .Directory(8, {Short(kOrientation, 8), Long(kExifOffset, 40)}, 80)
                     .Directory(40, {Short(kFlash, 1)})
                     .Directory(80, {Long(kThumbnailOffset, 120), Long(kThumbnailLength, 9)})
                     .Bytes(120, kThumbnail)
                     .Build());
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.orientation, 8u);
  EXPECT_EQ(parsed.thumbnail, kThumbnail);
}

TEST(Walk, ImageSegmentsOrBrokenLengthsBeforeExifFail) {
  std::vector<uint8_t> tables = {0xFF, 0xDB, 0, 4, 0, 0};
  std::vector<uint8_t> too_short = {0xFF, 0xE0, 0, 1};
  std::vector<uint8_t> no_marker = {0x12, 0xE0, 0, 2};
  for (const auto& before : {tables, too_short, no_marker}) {
    Parsed parsed =
        ParseReply(ReplyBuilder().Before(before).Directory(8, {Short(kOrientation, 6)}).Build());
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.orientation, 0u);
    EXPECT_EQ(parsed.unread, 0u);
  }
}

TEST(Walk, EntriesOfAnotherTypeOrCountAreIgnored) {
  std::vector<uint8_t> reply = TwoDirectories({{kOrientation, kLong, 1, 6}, {kFlash, kShort, 2, 1}},
                                              {{kWidth, kLong, 1, 1024},
                                               Short(kHeight, 768),
                                               {kExifOffset, kShort, 1, 200},
                                               {kFlash, kShort, 0x10001, 1}});
  Parsed parsed = ParseReply(reply);
  EXPECT_EQ(ParseReply(reply, std::vector<uint32_t>(reply.size(), 1)), parsed);
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.orientation, 0u);
  EXPECT_EQ(parsed.flash, 0u);
  EXPECT_EQ(parsed.xres, 0u);
  EXPECT_EQ(parsed.yres, 768u);
}

TEST(Walk, ShortValueIgnoresThePaddingBehindIt) {
  Parsed parsed =
      ParseReply(ReplyBuilder().Directory(8, {{kOrientation, kShort, 1, 0xABCD0006}}).Build());
  EXPECT_EQ(parsed.orientation, 6u);
}

TEST(Walk, MakerNoteIsFollowedOnlyWhenUndefined) {
  for (uint16_t type : {kUndefined, kLong}) {
    Parsed parsed = ParseReply(ReplyBuilder()
                                   .Directory(8, {Long(kExifOffset, 40)})
                                   .Directory(40, {Short(kFlash, 1), {kMakerNote, type, 1, 100}})
                                   .Directory(100, {Short(kFlash, 9), Short(kOrientation, 7)})
                                   .Build());
    // Without the maker note the walk ends after the Exif directory, before the bytes left.
    EXPECT_EQ(parsed.ok, type == kUndefined);
    EXPECT_EQ(parsed.flash, type == kUndefined ? 9u : 1u);
    EXPECT_EQ(parsed.orientation, type == kUndefined ? 7u : 0u);
  }
}

TEST(Walk, EveryDirectoryOnTheWayCounts) {
  Parsed parsed =
      ParseReply(ReplyBuilder()
                     .Directory(8, {Short(kOrientation, 1), Long(kExifOffset, 40)}, 200)
                     .Directory(40, {Short(kFlash, 1), Long(kInteroperabilityOffset, 100)})
                     .Directory(100, {Short(kOrientation, 8)})
                     .Directory(200, {Short(kWidth, 160)})
                     .Build());
  EXPECT_EQ(parsed.orientation, 8u);
  EXPECT_EQ(parsed.xres, 160u);
}

TEST(Walk, AfterTheLastDirectoryMoreBytesFail) {
  std::vector<uint8_t> reply = TwoDirectories({Short(kOrientation, 6)}, {Short(kFlash, 1)});
  Parsed exact = ParseReply(reply);
  EXPECT_TRUE(exact.ok);
  EXPECT_EQ(exact.flash, 1u);
  EXPECT_TRUE(exact.thumbnail.empty());

  reply.push_back(0);
  Parsed longer = ParseReply(reply);
  EXPECT_FALSE(longer.ok);
  EXPECT_EQ(longer.flash, 1u);  // set before the walk failed
}

TEST(Walk, ThumbnailWithoutLengthIsEmpty) {
  Parsed parsed = ParseReply(ReplyBuilder()
                                 .Directory(8, {Long(kExifOffset, 40)}, 60)
                                 .Directory(40, {Short(kFlash, 1)})
                                 .Directory(60, {Long(kThumbnailOffset, 100)})
                                 .Bytes(100, kThumbnail)
                                 .Build());
  EXPECT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.thumbnail.empty());
  EXPECT_EQ(parsed.unread, 0u);
}

TEST(Walk, OffsetsThatDoNotLeadForwardPassOverTheRest) {
  // The Exif offset points behind the link, and then at the link's own last byte.
  for (uint32_t exif_at : {8u, 37u}) {
    std::vector<uint8_t> reply =
        ReplyBuilder()
            .Directory(8, {Short(kOrientation, 6), Long(kExifOffset, exif_at)}, 60)
            .Directory(60, {Long(kThumbnailOffset, 100), Long(kThumbnailLength, 9)})
            .Bytes(100, kThumbnail)
            .Build();
    Parsed parsed = ParseReply(reply);
    EXPECT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.orientation, 6u);
    EXPECT_TRUE(parsed.thumbnail.empty());
    EXPECT_EQ(parsed.unread, 0u);
  }
}

TEST(Walk, EmptyDirectoryGoesStraightToItsLink) {
  Parsed parsed =
      ParseReply(ReplyBuilder()
                     .Directory(8, {Long(kExifOffset, 40)}, 60)
                     .Directory(40, {})
                     .Directory(60, {Long(kThumbnailOffset, 100), Long(kThumbnailLength, 9)})
                     .Bytes(100, kThumbnail)
                     .Build());
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.thumbnail, kThumbnail);
}

TEST(Walk, DirectoryAcrossAPieceBoundaryReadsAsInOne) {
  // The Exif directory's entries straddle the reply's byte 4096, the end of the first piece.
  uint32_t exif_at = 4096 - uint32_t(ReplyBuilder().TiffStart()) - 20;
  std::vector<uint8_t> reply =
      ReplyBuilder()
          .Directory(8, {Long(kExifOffset, exif_at)}, exif_at + 100)
          .Directory(exif_at, {Short(kFlash, 1), Short(kWidth, 1600), Short(kHeight, 1200)})
          .Directory(exif_at + 100,
                     {Long(kThumbnailOffset, exif_at + 200), Long(kThumbnailLength, 9)})
          .Bytes(exif_at + 200, kThumbnail)
          .Build();
  Parsed parsed = ParseReply(reply);
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.xres, 1600u);
  EXPECT_EQ(parsed.yres, 1200u);
  EXPECT_EQ(parsed.thumbnail, kThumbnail);
  EXPECT_EQ(ParseReply(reply, std::vector<uint32_t>(reply.size(), 1)), parsed);
}

}  // namespace
}  // namespace exiftest
