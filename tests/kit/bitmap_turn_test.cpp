// Turning a bitmap a quarter: every pixel lands where the turn puts it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "kit/Bitmap.h"

namespace {

// A 3 x 2 bitmap whose pixels are numbered row by row: 1 2 3 / 4 5 6.
std::unique_ptr<kit::Bitmap> Numbered() {
  auto bitmap = std::make_unique<kit::Bitmap>(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) bitmap->SetPixel(x, y, 0xFF000000u | uint32_t(y * 3 + x + 1));
  return bitmap;
}

// The pixels' numbers, row by row.
std::vector<uint32_t> Numbers(const kit::Bitmap& bitmap) {
  std::vector<uint32_t> numbers;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) numbers.push_back(bitmap.PixelAt(x, y) & 0xFFFFFF);
  return numbers;
}

struct Turn {
  const char* name;
  bool clockwise;
  std::vector<uint32_t> rows;  // of the 2 x 3 result
};

class BitmapTurn : public testing::TestWithParam<Turn> {};

TEST_P(BitmapTurn, MovesEveryPixel) {
  std::unique_ptr<kit::Bitmap> turned(kit::TurnedQuarter(*Numbered(), GetParam().clockwise));
  EXPECT_EQ(turned->Width(), 2);
  EXPECT_EQ(turned->Height(), 3);
  EXPECT_EQ(turned->BytesPerRow(), 8);
  EXPECT_EQ(Numbers(*turned), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Quarter, BitmapTurn,
                         testing::Values(Turn{"Clockwise", true, {4, 1, 5, 2, 6, 3}},
                                         Turn{"CounterClockwise", false, {3, 6, 2, 5, 1, 4}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BitmapTurn, FourTurnsGiveTheBitmapBack) {
  std::unique_ptr<kit::Bitmap> bitmap = Numbered();
  for (int turn = 0; turn < 4; ++turn) bitmap.reset(kit::TurnedQuarter(*bitmap, true));
  EXPECT_EQ(Numbers(*bitmap), Numbers(*Numbered()));
}

// Sizes on both sides of the turn's square tiles: every pixel goes where the turn puts it.
TEST(BitmapTurn, EveryPixelOfLargerBitmapsLandsInPlace) {
  const int sizes[][2] = {{1, 1}, {16, 16}, {17, 33}, {160, 120}, {5, 40}};
  for (const auto& size : sizes) {
    const int width = size[0], height = size[1];
    kit::Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, 0xFF000000u | uint32_t(y << 12 | x));
    for (bool clockwise : {true, false}) {
      std::unique_ptr<kit::Bitmap> turned(kit::TurnedQuarter(bitmap, clockwise));
      ASSERT_EQ(turned->Width(), height);
      ASSERT_EQ(turned->Height(), width);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const int to_x = clockwise ? height - 1 - y : y;
          const int to_y = clockwise ? x : width - 1 - x;
          ASSERT_EQ(turned->PixelAt(to_x, to_y), bitmap.PixelAt(x, y))
              << width << "x" << height << (clockwise ? " clockwise" : " counter-clockwise")
              << " pixel " << x << "," << y;
        }
    }
  }
}

}  // namespace
