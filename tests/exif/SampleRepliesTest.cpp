// The thumbnail replies of real camera pictures.
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <fstream>
#include <iterator>

#include "kit/JpegSegments.h"
#include "tests/exif/ReplyPipe.h"
#include "tests/support/Samples.h"

namespace exiftest {
namespace {

std::vector<uint8_t> SampleReply(const char* name) {
  std::ifstream in(testsupport::SamplesDirectory() + "/" + name, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
  file.resize(kit::ThumbnailReplyLength(file));
  return file;
}

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

Size DecodedSize(const std::vector<uint8_t>& jpeg) {
  Size size;
  int subsampling = 0, colourspace = 0;
  tjhandle handle = tjInitDecompress();
  if (jpeg.empty() || tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &size.width,
                                          &size.height, &subsampling, &colourspace) != 0)
    size = {};
  tjDestroy(handle);
  return size;
}

struct Sample {
  const char* label;
  const char* name;
  uint32_t xres, yres, flash, orientation;
  size_t thumbnail_bytes;  // 0: none
};

class CameraSample : public testing::TestWithParam<Sample> {};

// Where these differ from what a full EXIF reader reports, the parser's own rules decide:
// fujifilm-dx10.jpg stores its size as LONG, and only SHORT counts; the maker note of
// olympus-c960.jpg opens with a header of its own, which the walk reads as the count of a
// directory of 19535 entries that runs past the end of the reply before the thumbnail.
INSTANTIATE_TEST_SUITE_P(
    Cameras, CameraSample,
    testing::Values(Sample{"Plain", "canon-ixus.jpg", 640, 480, 0, 1, 5342},
                    Sample{"JfifFirst", "canon-powershot-s40-jfif.jpg", 2272, 1704, 24, 1, 5448},
                    Sample{"SizeAsLong", "fujifilm-dx10.jpg", 0, 0, 1, 1, 10274},
                    Sample{"MakerNoteHeader", "olympus-c960.jpg", 1280, 960, 0, 1, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_P(CameraSample, GivesItsValuesAndThumbnail) {
  SKIP_WITHOUT_SAMPLES();
  const Sample& sample = GetParam();
  Parsed parsed = ParseReply(SampleReply(sample.name));
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.xres, sample.xres);
  EXPECT_EQ(parsed.yres, sample.yres);
  EXPECT_EQ(parsed.flash, sample.flash);
  EXPECT_EQ(parsed.orientation, sample.orientation);
  EXPECT_EQ(parsed.thumbnail.size(), sample.thumbnail_bytes);
  EXPECT_EQ(DecodedSize(parsed.thumbnail), (sample.thumbnail_bytes ? Size{160, 120} : Size{}));
  EXPECT_EQ(parsed.unread, 0u);
}

TEST_P(CameraSample, PieceBoundariesChangeNothing) {
  SKIP_WITHOUT_SAMPLES();
  std::vector<uint8_t> reply = SampleReply(GetParam().name);
  Parsed whole = ParseReply(reply);
  EXPECT_EQ(ParseReply(reply, std::vector<uint32_t>(reply.size(), 1)), whole);
  EXPECT_EQ(ParseReply(reply, std::vector<uint32_t>(reply.size() / 7 + 1, 7)), whole);
  EXPECT_EQ(ParseReply(reply, {4096, 4096, 4096}), whole);
  std::vector<uint32_t> with_empty_reads;
  for (size_t i = 0; i < reply.size() / 100 + 1; ++i)
    with_empty_reads.insert(with_empty_reads.end(), {0, 0, 100, 0});
  EXPECT_EQ(ParseReply(reply, with_empty_reads), whole);
}

}  // namespace
}  // namespace exiftest
