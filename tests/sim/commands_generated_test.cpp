#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "sim/GeneratedPicture.h"
#include "kit/JpegSegments.h"
#include "tests/sim/commands_blocks.h"

namespace {

using simtest::CameraHost;
using simtest::Little32;

constexpr uint32_t k256MiB = 256u << 20;
const char* const kPath = "D:\\DCIM\\100CANON\\IMG_0001.JPG";

sim::PictureSpec Spec() {
  sim::PictureSpec spec;
  spec.name = "IMG_0001.JPG";
  spec.orientation = 6;
  spec.date = 1000000000;
  return spec;
}

std::vector<uint8_t> ReadRange(const sim::CameraFile& file, uint32_t offset, size_t length) {
  std::vector<uint8_t> bytes(length);
  file.Read(offset, bytes.data(), length);
  return bytes;
}

// The process's resident memory now, in bytes.
size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t total = 0, resident = 0;
  statm >> total >> resident;
  return resident * size_t(sysconf(_SC_PAGESIZE));
}

TEST(GeneratedPicture, IsThePictureThenFillerUpToItsSize) {
  std::vector<uint8_t> picture = sim::MakePicture(Spec());
  ASSERT_GT(picture.size(), 1000u);
  sim::CameraFile file = sim::MakeGeneratedPicture(Spec(), 3 * uint32_t(picture.size()), 0x21);
  EXPECT_EQ(file.name, "IMG_0001.JPG");
  EXPECT_EQ(file.attributes, 0x21);
  EXPECT_EQ(file.date, 1000000000u);
  EXPECT_TRUE(file.bytes.empty()) << "nothing held";
  ASSERT_EQ(file.Size(), 3 * picture.size());
  EXPECT_EQ(file.Head(picture.size()), picture);
  EXPECT_EQ(file.Head(100000000).size(), file.Size());

  // The same bytes whichever way the file is cut.
  std::vector<uint8_t> whole = ReadRange(file, 0, file.Size());
  std::vector<uint8_t> pieces;
  for (uint32_t at = 0; at < file.Size(); at += 777) {
    std::vector<uint8_t> piece = ReadRange(file, at, std::min<size_t>(777, file.Size() - at));
    pieces.insert(pieces.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(pieces, whole);
  // The filler has no short period, so a chunk written at the wrong offset shows.
  size_t at = 2 * picture.size();
  for (size_t period : {1, 2, 256, 4096})
    EXPECT_NE(ReadRange(file, uint32_t(at), 64), ReadRange(file, uint32_t(at + period), 64))
        << period;

  sim::CameraFile cut = sim::MakeGeneratedPicture(Spec(), 100);
  EXPECT_EQ(cut.Head(1000), std::vector<uint8_t>(picture.begin(), picture.begin() + 100));
}

TEST(GeneratedPicture, IsListedWithItsGeneratedSize) {
  CameraHost host;
  host.Camera().AddFile("100CANON", sim::MakeGeneratedPicture(Spec(), k256MiB));
  std::vector<uint8_t> listing;
  ASSERT_TRUE(host.Send(simtest::ListingCommand("D:")));
  ASSERT_TRUE(host.ReadDataReply(&listing));
  std::string text(listing.begin(), listing.end());
  size_t entry = text.find("IMG_0001.JPG");
  ASSERT_NE(entry, std::string::npos);
  EXPECT_EQ(Little32(listing, entry - 8), k256MiB);
}

TEST(GeneratedPicture, ItsThumbnailReplyIsThePicturesExif) {
  CameraHost host;
  host.Camera().AddFile("100CANON", sim::MakeGeneratedPicture(Spec(), k256MiB));
  std::vector<uint8_t> picture = sim::MakePicture(Spec());
  std::vector<uint8_t> data;
  ASSERT_TRUE(host.Send(simtest::PictureCommand(kPath, 1)));
  ASSERT_TRUE(host.ReadDataReply(&data));
  size_t end = kit::ThumbnailReplyLength(picture);
  ASSERT_GT(end, 2u);
  EXPECT_EQ(data, std::vector<uint8_t>(picture.begin(), picture.begin() + end));
  EXPECT_EQ(host.Camera().PendingReply(), 0u);
}

TEST(GeneratedPicture, A256MiBDownloadIsServedWithoutBeingHeld) {
  CameraHost host;
  host.Camera().KeepTransfers(false);
  host.Camera().AddFile("100CANON", sim::MakeGeneratedPicture(Spec(), k256MiB));
  sim::CameraFile file = *host.Camera().FindFile(kPath);
  size_t before = ResidentBytes();
  ASSERT_TRUE(host.Send(simtest::PictureCommand(kPath, 0)));
  EXPECT_EQ(host.Camera().PendingReply(), 64u + k256MiB);
  EXPECT_LT(ResidentBytes(), before + (32u << 20)) << "the reply is not made up front";

  std::vector<uint8_t> header;
  ASSERT_TRUE(host.Read(64, &header));
  EXPECT_EQ(Little32(header, 6), k256MiB);
  // Buffers made once, so that the memory measured is the camera's.
  std::vector<uint8_t> piece;
  std::vector<uint8_t> expected(65536);
  uint32_t received = 0;
  bool same = true;
  while (received < k256MiB && same) {
    ASSERT_TRUE(host.Read(65536, &piece));
    ASSERT_FALSE(piece.empty());
    file.Read(received, expected.data(), piece.size());
    same = std::equal(piece.begin(), piece.end(), expected.begin());
    received += uint32_t(piece.size());
  }
  EXPECT_TRUE(same) << "at " << received;
  EXPECT_EQ(received, k256MiB);
  EXPECT_EQ(host.Camera().PendingReply(), 0u);
  EXPECT_LT(ResidentBytes(), before + (32u << 20));
}

TEST(ReplyQueue, ServesRepliesInOrderAcrossEveryBoundary) {
  std::vector<uint8_t> held = {10, 11, 12, 13, 14};
  sim::CameraFile file{"A.JPG", 0x20, 0, held};
  sim::ReplyQueue queue;
  queue.Add(sim::Reply({1, 2, 3}, file, 4));
  queue.Add(sim::Reply({}));
  queue.Add(sim::Reply({7, 8}));
  EXPECT_EQ(queue.Pending(), 9u);
  std::vector<uint8_t> all;
  uint8_t out[2];
  while (size_t n = queue.Take(out, sizeof out)) all.insert(all.end(), out, out + n);
  EXPECT_EQ(all, (std::vector<uint8_t>{1, 2, 3, 10, 11, 12, 13, 7, 8}));
  EXPECT_EQ(queue.Pending(), 0u);
  queue.Add(sim::Reply({}, file, 5));
  queue.Clear();
  EXPECT_EQ(queue.Take(out, sizeof out), 0u);
}

}  // namespace
