// The generated demo card: the dozen pictures, and one file of every other kind a camera
// writes, each of which parses as its kind.
#include "sim/DemoCard.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <map>
#include <string>

#include "kit/ExifDate.h"
#include "kit/JpegSegments.h"
#include "sim/Bytes.h"
#include "sim/GeneratedPicture.h"
#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"

namespace {

using sim::ReadLittle16;
using sim::ReadLittle32;

std::string Text(const std::vector<uint8_t>& bytes, size_t at, size_t length) {
  return at + length <= bytes.size() ? std::string(bytes.begin() + at, bytes.begin() + at + length)
                                     : std::string();
}

// The values of one directory of an Intel-order TIFF block by tag, a SHORT's or the value
// field's; `link`: the directory's link to the next. Empty when it runs past the block.
std::map<uint16_t, uint32_t> Directory(const std::vector<uint8_t>& tiff, uint32_t at,
                                       uint32_t* link) {
  std::map<uint16_t, uint32_t> values;
  *link = ~0u;
  if (size_t(at) + 2 > tiff.size()) return values;
  uint16_t count = ReadLittle16(&tiff[at]);
  if (size_t(at) + 2 + 12 * count + 4 > tiff.size()) return values;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* entry = &tiff[at + 2 + 12 * i];
    uint16_t type = ReadLittle16(entry + 2);
    values[ReadLittle16(entry)] = type == 3 ? ReadLittle16(entry + 8) : ReadLittle32(entry + 8);
  }
  *link = ReadLittle32(&tiff[at + 2 + 12 * count]);
  return values;
}

struct Decoded {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  bool Dark(int x, int y) const { return Sum(x, y) < 150; }
  bool Red(int x, int y) const {
    const uint8_t* p = &rgb.at(size_t(y * width + x) * 3);
    return p[0] > p[1] + 50 && p[0] > p[2] + 50;
  }
  int Sum(int x, int y) const {
    const uint8_t* p = &rgb.at(size_t(y * width + x) * 3);
    return p[0] + p[1] + p[2];
  }
};

Decoded Decode(const std::vector<uint8_t>& jpeg) {
  Decoded image;
  tjhandle handle = tjInitDecompress();
  int subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &image.width, &image.height,
                          &subsampling, &colourspace) == 0) {
    image.rgb.resize(size_t(image.width) * image.height * 3);
    if (tjDecompress2(handle, jpeg.data(), jpeg.size(), image.rgb.data(), image.width, 0,
                      image.height, TJPF_RGB, 0) != 0)
      image = {};
  }
  tjDestroy(handle);
  return image;
}

// A thumbnail file: a 160x120 JPEG whose EXIF gives the date, orientation 1 and the main
// file's picture size, and no embedded thumbnail.
void ExpectThumbnailFile(const sim::CameraFile& file, uint16_t width, uint16_t height) {
  SCOPED_TRACE(file.name);
  const std::vector<uint8_t>& bytes = file.bytes;
  EXPECT_LT(bytes.size(), 20000u);
  Decoded image = Decode(bytes);
  ASSERT_EQ(image.width, 160);
  ASSERT_EQ(image.height, 120);
  EXPECT_EQ(kit::DateTimeOriginal(bytes), file.date);
  std::vector<kit::JpegSegment> segments = kit::HeadSegments(bytes);
  ASSERT_FALSE(segments.empty());
  ASSERT_EQ(segments[0].marker, kit::kApp1Marker);
  ASSERT_EQ(Text(bytes, segments[0].body, 6), std::string("Exif\0\0", 6));
  std::vector<uint8_t> tiff(bytes.begin() + segments[0].body + 6, bytes.begin() + segments[0].end);
  ASSERT_EQ(Text(tiff, 0, 2), "II");
  uint32_t link = 0, exif_link = 0;
  std::map<uint16_t, uint32_t> main = Directory(tiff, ReadLittle32(&tiff[4]), &link);
  EXPECT_EQ(main[0x0112], 1u) << "orientation";
  EXPECT_EQ(link, 0u) << "no thumbnail directory";
  ASSERT_EQ(main.count(0x8769), 1u) << "an Exif directory";
  std::map<uint16_t, uint32_t> exif = Directory(tiff, main[0x8769], &exif_link);
  EXPECT_EQ(exif[0xA002], width);
  EXPECT_EQ(exif[0xA003], height);
  EXPECT_EQ(exif.count(0x0201) + main.count(0x0201), 0u) << "no embedded thumbnail";
}

TEST(DemoCard, HoldsEveryKindAsACameraWritesIt) {
  sim::SimCamera camera;
  std::vector<sim::CameraFile> card = sim::DemoCard();
  ASSERT_EQ(camera.LoadGenerated(), card.size());
  std::vector<sim::CameraFile> files = camera.Folders().at(0).files;
  std::vector<std::string> names;
  for (const sim::CameraFile& file : files) names.push_back(file.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{
                "IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG", "IMG_0004.JPG", "IMG_0005.JPG",
                "IMG_0006.JPG", "IMG_0007.JPG", "IMG_0008.JPG", "IMG_0009.JPG", "IMG_0010.JPG",
                "IMG_0011.JPG", "IMG_0012.JPG", "MVI_0013.AVI", "MVI_0013.THM", "CRW_0014.CRW",
                "CRW_0014.THM", "IMG_0007.WAV"}));
  ASSERT_EQ(files.size(), 17u);
  EXPECT_EQ(camera.LoadGenerated(12), 12u) << "the first files only";
  std::vector<sim::CameraFolder> first = camera.Folders();
  for (const sim::CameraFile& file : first.at(0).files)
    EXPECT_TRUE(sim::IsPictureName(file.name)) << "the first dozen are the pictures alone";
  EXPECT_TRUE(std::is_sorted(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return a.date < b.date;
  })) << "dates rise";
  for (const sim::CameraFile& file : files) EXPECT_EQ(file.attributes, 0x20) << file.name;

  // The pictures, as DemoPictures() describes them.
  std::vector<sim::PictureSpec> specs = sim::DemoPictures();
  for (const sim::PictureSpec& spec : specs) {
    auto file = std::find_if(files.begin(), files.end(),
                             [&](const sim::CameraFile& f) { return f.name == spec.name; });
    ASSERT_NE(file, files.end()) << spec.name;
    EXPECT_EQ(file->date, spec.date);
    EXPECT_EQ(kit::DateTimeOriginal(file->bytes), spec.date) << spec.name;
    EXPECT_LT(kit::ThumbnailReplyLength(file->bytes), file->bytes.size());
  }

  // The sound note: 8 kHz 8-bit mono PCM, a second or two of a tone, recorded last.
  const sim::CameraFile& sound = files[16];
  EXPECT_GT(sound.date, files[15].date);
  const std::vector<uint8_t>& wav = sound.bytes;
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(Text(wav, 0, 4), "RIFF");
  EXPECT_EQ(ReadLittle32(&wav[4]), wav.size() - 8);
  EXPECT_EQ(Text(wav, 8, 8), "WAVEfmt ");
  EXPECT_EQ(ReadLittle32(&wav[16]), 16u);
  EXPECT_EQ(ReadLittle16(&wav[20]), 1u) << "PCM";
  EXPECT_EQ(ReadLittle16(&wav[22]), 1u) << "mono";
  EXPECT_EQ(ReadLittle32(&wav[24]), 8000u);
  EXPECT_EQ(ReadLittle32(&wav[28]), 8000u);
  EXPECT_EQ(ReadLittle16(&wav[32]), 1u);
  EXPECT_EQ(ReadLittle16(&wav[34]), 8u);
  EXPECT_EQ(Text(wav, 36, 4), "data");
  uint32_t samples = ReadLittle32(&wav[40]);
  EXPECT_GE(samples, 8000u);
  EXPECT_LE(samples, 16000u);
  EXPECT_GE(wav.size(), 44 + samples);
  auto [quietest, loudest] = std::minmax_element(wav.begin() + 44, wav.begin() + 44 + samples);
  EXPECT_GT(*loudest - *quietest, 100) << "a tone, not silence";

  // The movie: a RIFF AVI of 320x240, its size generated, with its thumbnail file.
  const sim::CameraFile& movie = files[12];
  EXPECT_EQ(movie.Size(), sim::kDemoMovieSize);
  EXPECT_TRUE(movie.bytes.empty()) << "generated, not held";
  std::vector<uint8_t> avi = movie.Head(sim::kMovieHeaderSize + 8);
  EXPECT_EQ(Text(avi, 0, 4), "RIFF");
  EXPECT_EQ(ReadLittle32(&avi[4]), movie.Size() - 8);
  EXPECT_EQ(Text(avi, 8, 8), "AVI LIST");
  EXPECT_EQ(Text(avi, 16 + 4, 8), "hdrlavih");
  EXPECT_EQ(ReadLittle32(&avi[28]), 56u);
  EXPECT_EQ(ReadLittle32(&avi[32 + 32]), 320u);
  EXPECT_EQ(ReadLittle32(&avi[32 + 36]), 240u);
  EXPECT_EQ(ReadLittle32(&avi[16]) + 20, sim::kMovieHeaderSize - 12) << "hdrl ends at movi";
  EXPECT_EQ(Text(avi, 212, 4), "LIST");
  EXPECT_EQ(ReadLittle32(&avi[216]), movie.Size() - 220);
  EXPECT_EQ(Text(avi, 220, 8), "movi00dc");
  uint8_t chunk[8];
  movie.Read(sim::kMovieHeaderSize + 10 * 12008, chunk, sizeof chunk);
  EXPECT_EQ(std::string(chunk, chunk + 4), "00dc") << "frame chunks run on";
  EXPECT_EQ(files[13].date, movie.date);
  ExpectThumbnailFile(files[13], 320, 240);

  // The raw picture: the CIFF header, its size generated, with its thumbnail file.
  const sim::CameraFile& raw = files[14];
  EXPECT_EQ(raw.Size(), sim::kDemoRawSize);
  EXPECT_TRUE(raw.bytes.empty()) << "generated, not held";
  EXPECT_EQ(Text(raw.Head(14), 0, 14), std::string("II\x1A\0\0\0HEAPCCDR", 14));
  EXPECT_EQ(files[15].date, raw.date);
  ExpectThumbnailFile(files[15], 2048, 1536);

  // Each thumbnail file shows what it stands for: film-strip edges or a "RAW" band.
  Decoded film = Decode(files[13].bytes), band = Decode(files[15].bytes);
  EXPECT_TRUE(film.Dark(80, 3));
  EXPECT_FALSE(band.Dark(80, 3));
  EXPECT_TRUE(band.Red(3, 100));
  EXPECT_FALSE(film.Red(3, 100));
}

}  // namespace
