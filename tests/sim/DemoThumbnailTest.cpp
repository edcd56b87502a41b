// The demo camera's thumbnail replies are as large as a real camera's, so that loading it
// costs what loading a real one does.
#include <gtest/gtest.h>

#include "kit/JpegSegments.h"
#include "sim/PictureMaker.h"

namespace {

TEST(DemoThumbnails, RepliesAreAsLargeAsARealCamerasThumbnails) {
  for (const sim::PictureSpec& spec : sim::DemoPictures()) {
    std::vector<uint8_t> picture = sim::MakePicture(spec);
    size_t reply = kit::ThumbnailReplyLength(picture);
    EXPECT_GE(reply, 5000u) << spec.name;
    EXPECT_LE(reply, 8200u) << spec.name;
  }
}

}  // namespace
