// Each orientation code through rotate, the thumbnail at load, the download and attributes.
#include <gtest/gtest.h>

#include "app/Orientation.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "tests/camera/download_fixture.h"
#include "tests/camera/thumbs_pictures.h"
#include "tests/support/Environment.h"
#include "tests/support/OrientationCodes.h"

namespace download_test {
namespace {

class OrientationCode : public Download,
                        public testing::WithParamInterface<testsupport::OrientationCase> {};

TEST_P(OrientationCode, RotateThumbnailDownloadAndAttributesAgree) {
  const auto& c = GetParam();
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
  // The stored thumbnail turned clockwise as often as the code asks is the one loaded.
  std::unique_ptr<kit::Bitmap> expected = listing_test::EmbeddedThumbnail(file.bytes);
  for (int turn = 0; turn < c.quarter_turns; turn++)
    expected.reset(kit::TurnedQuarter(*expected, true));
  const kit::Bitmap* loaded = host.items[0]->Thumbnail();
  ASSERT_TRUE(loaded != nullptr && loaded->Width() == expected->Width());
  EXPECT_TRUE(std::equal(loaded->Bits(), loaded->Bits() + loaded->BitsLength(), expected->Bits()));

  if (c.quarter_turns != 0 && !testsupport::OnPath("jpegtran")) GTEST_SKIP() << "no jpegtran";
  ASSERT_TRUE(GetExample(c.code));
  EXPECT_EQ(printed,
            c.quarter_turns ? "\n rotate " + std::to_string(90 * c.quarter_turns) + "\n" : "");
  int32_t width = c.quarter_turns % 2 ? 480 : 640, height = c.quarter_turns % 2 ? 640 : 480;
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Width"), Typed("LONG", &width, 4));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Height"), Typed("LONG", &height, 4));
}

INSTANTIATE_TEST_SUITE_P(Codes, OrientationCode, testing::ValuesIn(testsupport::kOrientationCases),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

}  // namespace
}  // namespace download_test
