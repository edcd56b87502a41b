// The generated demo card: the dozen pictures, then one file of every other kind a camera
// writes, each starting as its kind does. What the program reads of the thumbnail files is
// checked where it loads them.
#include "sim/DemoCard.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <string>

#include "kit/ExifDate.h"
#include "sim/Bytes.h"
#include "sim/GeneratedPicture.h"
#include "sim/SimCamera.h"

namespace {

// The thumbnail file's pixels, 160x120 RGB; empty when it does not decode to that.
std::vector<uint8_t> Pixels(const std::vector<uint8_t>& jpeg) {
  std::vector<uint8_t> rgb(160 * 120 * 3);
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  bool ok =
      tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                          &colourspace) == 0 &&
      width == 160 && height == 120 &&
      tjDecompress2(handle, jpeg.data(), jpeg.size(), rgb.data(), 160, 0, 120, TJPF_RGB, 0) == 0;
  tjDestroy(handle);
  return ok ? rgb : std::vector<uint8_t>();
}

TEST(DemoCard, HoldsEveryKindAsACameraWritesIt) {
  sim::SimCamera camera;
  ASSERT_EQ(camera.LoadGenerated(), 17u);
  std::vector<sim::CameraFile> files = camera.Folders().at(0).files;
  std::vector<std::string> names;
  for (const sim::CameraFile& file : files) names.push_back(file.name);
  EXPECT_EQ(std::vector<std::string>(names.begin() + 11, names.end()),
            (std::vector<std::string>{"IMG_0012.JPG", "MVI_0013.AVI", "MVI_0013.THM",
                                      "CRW_0014.CRW", "CRW_0014.THM", "IMG_0007.WAV"}));
  EXPECT_TRUE(std::is_sorted(files.begin(), files.end(),
                             [](const auto& a, const auto& b) { return a.date < b.date; }));
  EXPECT_EQ(camera.LoadGenerated(12), 12u) << "a limit of a dozen keeps the pictures alone";

  // Each file begins as its kind does; the large ones are made as they are read.
  const struct {
    size_t index;
    size_t at;
    std::string text;
  } heads[] = {
      {12, 0, "RIFF"},       {12, 8, "AVI LIST"},
      {12, 220, "movi00dc"}, {14, 0, std::string("II\x1A\0\0\0HEAPCCDR", 14)},
      {16, 0, "RIFF"},       {16, 8, "WAVEfmt "},
  };
  for (const auto& head : heads) {
    std::vector<uint8_t> bytes = files[head.index].Head(head.at + head.text.size());
    EXPECT_EQ(std::string(bytes.begin() + long(head.at), bytes.end()), head.text)
        << files[head.index].name;
  }
  EXPECT_EQ(files[12].Size(), sim::kDemoMovieSize);
  EXPECT_TRUE(files[12].bytes.empty() && files[14].bytes.empty()) << "generated, not held";
  EXPECT_EQ(sim::ReadLittle32(&files[16].bytes[24]), 8000u) << "8 kHz";

  // The thumbnail files: dated as their main files, showing what each stands for, film-strip
  // edges (dark at the top) or a "RAW" band (red at the left, low down).
  for (size_t index : {13, 15}) {
    EXPECT_EQ(kit::DateTimeOriginal(files[index].bytes), files[index - 1].date);
    ASSERT_EQ(Pixels(files[index].bytes).size(), 160u * 120 * 3) << files[index].name;
  }
  std::vector<uint8_t> film = Pixels(files[13].bytes), band = Pixels(files[15].bytes);
  auto at = [](const std::vector<uint8_t>& rgb, int x, int y) { return &rgb[(y * 160 + x) * 3]; };
  EXPECT_LT(at(film, 80, 3)[0] + at(film, 80, 3)[1] + at(film, 80, 3)[2], 150);
  EXPECT_GT(at(band, 3, 100)[0], at(band, 3, 100)[1] + 50);
}

}  // namespace
