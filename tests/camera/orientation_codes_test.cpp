// Each orientation code through the list's turns, the thumbnail at load, the download's
// turn and the attributes of the downloaded file.
#include <gtest/gtest.h>

#include <string>

#include "app/Orientation.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "tests/camera/download_fixture.h"
#include "tests/camera/thumbs_pictures.h"
#include "tests/support/Environment.h"
#include "tests/support/OrientationCodes.h"

namespace download_test {
namespace {

using testsupport::OrientationCase;

// Where the pixel (x, y) of a width x height picture lands after that many clockwise turns.
std::pair<int, int> Turned(int x, int y, int width, int height, int turns) {
  switch (turns) {
    case 1:
      return {height - 1 - y, x};
    case 2:
      return {width - 1 - x, height - 1 - y};
    case 3:
      return {y, width - 1 - x};
    default:
      return {x, y};
  }
}

class OrientationCode : public Download, public testing::WithParamInterface<OrientationCase> {};

TEST_P(OrientationCode, RotateThumbnailDownloadAndAttributesAgree) {
  const OrientationCase& c = GetParam();
  EXPECT_EQ(RotatedOrientation(c.code, 90), c.right);
  EXPECT_EQ(RotatedOrientation(c.code, 270), c.left);

  sim::CameraFile file = listing_test::Picture(kExampleName, uint16_t(c.code));
  Put(file);
  Plug();
  testing::internal::CaptureStderr();
  ixus_direntry* listing = ixus_getdir(plugged->Device(), host.CameraBuffer(), nullptr);
  ixus_getthumbs(plugged->Device(), host.CameraBuffer(), listing);
  ixus_freedir(listing);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(host.items.size(), 1u);
  std::unique_ptr<kit::Bitmap> stored = listing_test::EmbeddedThumbnail(file.bytes);
  const kit::Bitmap* loaded = host.items[0]->Thumbnail();
  ASSERT_TRUE(stored && loaded);
  const int w = stored->Width(), h = stored->Height();
  ASSERT_EQ(loaded->Width(), c.quarter_turns % 2 ? h : w);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      auto [to_x, to_y] = Turned(x, y, w, h, c.quarter_turns);
      ASSERT_EQ(loaded->PixelAt(to_x, to_y), stored->PixelAt(x, y)) << x << "," << y;
    }

  if (c.quarter_turns != 0 && !testsupport::OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  ASSERT_TRUE(GetExample(c.code));
  std::string angle = std::to_string(90 * c.quarter_turns);
  EXPECT_EQ(printed, c.quarter_turns ? "\n rotate " + angle + "\n" : "");
  // The record says 640 x 480, and so does the picture's frame.
  int32_t width = c.quarter_turns % 2 ? 480 : 640, height = c.quarter_turns % 2 ? 640 : 480;
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Width"), Typed("LONG", &width, 4));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Height"), Typed("LONG", &height, 4));
}

INSTANTIATE_TEST_SUITE_P(Codes, OrientationCode, testing::ValuesIn(testsupport::kOrientationCases),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

}  // namespace
}  // namespace download_test
