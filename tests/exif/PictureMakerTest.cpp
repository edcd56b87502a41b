// The synthetic pictures: real JPEGs whose EXIF data parses to what they were made with.
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <algorithm>
#include <set>

#include "app/pic_Item.h"
#include "kit/JpegSegments.h"
#include "sim/PictureMaker.h"
#include "tests/exif/ReplyPipe.h"

namespace exiftest {
namespace {

struct Header {
  int width = 0;
  int height = 0;
};

Header DecodeHeader(const uint8_t* jpeg, size_t size) {
  Header header;
  int subsampling = 0, colourspace = 0;
  tjhandle handle = tjInitDecompress();
  EXPECT_EQ(tjDecompressHeader3(handle, jpeg, size, &header.width, &header.height, &subsampling,
                                &colourspace),
            0);
  tjDestroy(handle);
  return header;
}

bool Contains(const std::vector<uint8_t>& bytes, const std::string& text) {
  return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

TEST(PictureMaker, DemoPicturesVaryAsACameraWould) {
  std::vector<sim::PictureSpec> pictures = sim::DemoPictures();
  ASSERT_EQ(pictures.size(), 12u);
  EXPECT_EQ(pictures.front().name, "IMG_0001.JPG");
  EXPECT_EQ(pictures.back().name, "IMG_0012.JPG");
  std::set<uint16_t> orientations, flashes;
  std::set<uint32_t> dates, widths;
  for (const sim::PictureSpec& spec : pictures) {
    orientations.insert(spec.orientation);
    flashes.insert(spec.flash != 0);
    dates.insert(spec.date);
    widths.insert(spec.width);
  }
  EXPECT_EQ(orientations, (std::set<uint16_t>{0, 1, 6, 7, 8}));
  EXPECT_EQ(flashes.size(), 2u);
  EXPECT_EQ(dates.size(), pictures.size());
  EXPECT_GE(widths.size(), 4u);
}

class MadePicture : public testing::TestWithParam<sim::PictureSpec> {};

INSTANTIATE_TEST_SUITE_P(Demo, MadePicture, testing::ValuesIn(sim::DemoPictures()),
                         [](const auto& info) { return info.param.name.substr(0, 8); });

TEST_P(MadePicture, ParsesToWhatItWasMadeWith) {
  const sim::PictureSpec& spec = GetParam();
  std::vector<uint8_t> file = sim::MakePicture(spec);
  ASSERT_FALSE(file.empty());
  Header picture = DecodeHeader(file.data(), file.size());
  EXPECT_EQ(picture.width, spec.width);
  EXPECT_EQ(picture.height, spec.height);

  std::vector<uint8_t> reply(file.begin(), file.begin() + kit::ThumbnailReplyLength(file));
  ReplyPipe pipe(reply);
  pic_Item record;
  record.set_Orientation(99);  // stays when the picture gives none
  kit::ByteStream thumbnail;
  ASSERT_TRUE(pipe.Parse(reply.size(), &record, &thumbnail));
  EXPECT_EQ(record.xres, spec.width);
  EXPECT_EQ(record.yres, spec.height);
  EXPECT_EQ(record.flash, spec.flash);
  EXPECT_EQ(record.orientation, spec.orientation != 0 ? spec.orientation : 99u);
  ASSERT_GT(thumbnail.Size(), 0u);
  Header small = DecodeHeader(thumbnail.Data(), thumbnail.Size());
  bool landscape = spec.width >= spec.height;
  EXPECT_EQ(small.width, landscape ? 160 : 120);
  EXPECT_EQ(small.height, landscape ? 120 : 160);
}

TEST(PictureMaker, WritesTheDateAsUtcCalendarTime) {
  sim::PictureSpec spec;
  spec.date = 992099852;
  EXPECT_TRUE(Contains(sim::MakePicture(spec), std::string("2001:06:09 15:17:32") + '\0'));
  spec.date = 0;
  EXPECT_TRUE(Contains(sim::MakePicture(spec), std::string("1970:01:01 00:00:00") + '\0'));
}

TEST(PictureMaker, ThePictureIsTheSceneTurnedAsItsOrientationSays) {
  // The scene's arrow is white and stands in the upper middle once the picture is upright;
  // in the stored picture it lies on the side the orientation turns to the top.
  struct Case {
    uint16_t orientation;
    double x, y;  // where the arrow's shaft lies in the stored picture, 0 to 1
  };
  for (Case c : {Case{1, 0.5, 0.42}, Case{6, 0.42, 0.5}, Case{7, 0.5, 0.58}, Case{8, 0.58, 0.5}}) {
    sim::PictureSpec spec;
    spec.width = 320;
    spec.height = 240;
    spec.orientation = c.orientation;
    std::vector<uint8_t> file = sim::MakePicture(spec);
    std::vector<uint8_t> rgb(320 * 240 * 3);
    tjhandle handle = tjInitDecompress();
    ASSERT_EQ(tjDecompress2(handle, file.data(), file.size(), rgb.data(), 320, 0, 240, TJPF_RGB, 0),
              0);
    tjDestroy(handle);
    const uint8_t* pixel = &rgb[(size_t(c.y * 240) * 320 + size_t(c.x * 320)) * 3];
    EXPECT_GT(std::min({pixel[0], pixel[1], pixel[2]}), 220) << "orientation " << c.orientation;
    const uint8_t* opposite = &rgb[(size_t((1 - c.y) * 240) * 320 + size_t((1 - c.x) * 320)) * 3];
    EXPECT_LT(std::min({opposite[0], opposite[1], opposite[2]}), 200)
        << "orientation " << c.orientation;
  }
}

}  // namespace
}  // namespace exiftest
