// Decoding thumbnail JPEGs into 4-byte-a-pixel bitmaps.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <memory>
#include <vector>

#include "camera/ThumbnailDecoder.h"

namespace listing_test {
namespace {

// A JPEG of the given size, left half pure red, right half pure blue.
std::vector<uint8_t> MakeJpeg(int width, int height) {
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
      p[0] = x < width / 2 ? 255 : 0;
      p[2] = x < width / 2 ? 0 : 255;
    }
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  int result =
      tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_444, 95, 0);
  tjDestroy(handle);
  std::vector<uint8_t> jpeg;
  if (result == 0) jpeg.assign(out, out + size);
  tjFree(out);
  return jpeg;
}

bool Near(uint32_t argb, uint32_t expected) {
  for (int shift = 0; shift < 32; shift += 8) {
    int got = int(argb >> shift & 0xFF), want = int(expected >> shift & 0xFF);
    if (got - want > 24 || want - got > 24) return false;
  }
  return true;
}

TEST(ThumbnailDecode, DecodesToBlueGreenRedAlpha) {
  std::vector<uint8_t> jpeg = MakeJpeg(160, 120);
  ASSERT_FALSE(jpeg.empty());
  std::unique_ptr<kit::Bitmap> bitmap(DecodeThumbnail(jpeg.data(), jpeg.size()));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 160);
  EXPECT_EQ(bitmap->Height(), 120);
  EXPECT_EQ(bitmap->BytesPerRow(), 640);
  EXPECT_TRUE(Near(bitmap->PixelAt(10, 60), 0xFFFF0000)) << std::hex << bitmap->PixelAt(10, 60);
  EXPECT_TRUE(Near(bitmap->PixelAt(150, 60), 0xFF0000FF)) << std::hex << bitmap->PixelAt(150, 60);
  // Bytes in memory: blue, green, red, alpha.
  const uint8_t* red = bitmap->Bits() + 60 * 640 + 10 * 4;
  EXPECT_LT(red[0], 30);
  EXPECT_GT(red[2], 225);
  EXPECT_EQ(red[3], 255);
}

struct TurnCase {
  const char* name;
  ThumbnailTurn turn;
  int width, height;
  int red_x, red_y, blue_x, blue_y;  // points in what was the left (red) and right (blue) half
};

class ThumbnailTurnDecode : public testing::TestWithParam<TurnCase> {};

// Again and again on one thread: the decoder and its scratch bitmap are reused.
TEST_P(ThumbnailTurnDecode, TurnsWhileDecoding) {
  std::vector<uint8_t> jpeg = MakeJpeg(160, 120);
  ASSERT_FALSE(jpeg.empty());
  for (int round = 0; round < 2; ++round) {
    std::unique_ptr<kit::Bitmap> bitmap(DecodeThumbnail(jpeg.data(), jpeg.size(), GetParam().turn));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), GetParam().width);
    EXPECT_EQ(bitmap->Height(), GetParam().height);
    EXPECT_TRUE(Near(bitmap->PixelAt(GetParam().red_x, GetParam().red_y), 0xFFFF0000));
    EXPECT_TRUE(Near(bitmap->PixelAt(GetParam().blue_x, GetParam().blue_y), 0xFF0000FF));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Turns, ThumbnailTurnDecode,
    testing::Values(TurnCase{"None", ThumbnailTurn::kNone, 160, 120, 10, 60, 150, 60},
                    TurnCase{"Clockwise", ThumbnailTurn::kClockwise, 120, 160, 60, 10, 60, 150},
                    TurnCase{"Half", ThumbnailTurn::kHalf, 160, 120, 150, 60, 10, 60},
                    TurnCase{"CounterClockwise", ThumbnailTurn::kCounterClockwise, 120, 160, 60,
                             150, 60, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ThumbnailDecode, NothingDecodesToNone) {
  EXPECT_EQ(DecodeThumbnail(nullptr, 0), nullptr);
  std::vector<uint8_t> garbage(500, 0x5A);
  EXPECT_EQ(DecodeThumbnail(garbage.data(), garbage.size()), nullptr);
}

TEST(ThumbnailDecode, HeaderOnlyDecodesToNone) {
  std::vector<uint8_t> jpeg = MakeJpeg(160, 120);
  ASSERT_GT(jpeg.size(), 20u);
  EXPECT_EQ(DecodeThumbnail(jpeg.data(), 20), nullptr);
}

TEST(ThumbnailDecode, OversizedHeaderIsRefused) {
  std::vector<uint8_t> jpeg = MakeJpeg(16, 16);
  // The frame header (0xFF 0xC0): length, precision, then height and width big-endian.
  size_t frame = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); i++)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      frame = i;
      break;
    }
  ASSERT_NE(frame, 0u);
  jpeg[frame + 5] = 0x40;  // 16384 rows
  jpeg[frame + 6] = 0x00;
  jpeg[frame + 7] = 0x40;  // 16384 columns
  jpeg[frame + 8] = 0x00;
  EXPECT_EQ(DecodeThumbnail(jpeg.data(), jpeg.size()), nullptr);
}

TEST(ThumbnailDecode, TrailingBytesAfterTheImageStillDecode) {
  std::vector<uint8_t> jpeg = MakeJpeg(32, 24);
  jpeg.insert(jpeg.end(), 300, 0xAB);
  std::unique_ptr<kit::Bitmap> bitmap(DecodeThumbnail(jpeg.data(), jpeg.size()));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 32);
}

}  // namespace
}  // namespace listing_test
