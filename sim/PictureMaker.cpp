#include "sim/PictureMaker.h"

#include <turbojpeg.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>

namespace sim {

namespace {

constexpr int kThumbnailLong = 160;
constexpr int kThumbnailShort = 120;
constexpr int kPictureQuality = 85;
constexpr int kThumbnailQuality = 75;
// Real thumbnails of detailed scenes take 5 to 8 KB; a smooth synthetic one far less. Grain
// brings the simulated camera's thumbnail replies to a real camera's size.
constexpr int kThumbnailGrain = 32;

struct Rgb {
  uint8_t r, g, b;
};

Rgb FromHsv(double hue, double saturation, double value) {
  double h = std::fmod(hue, 360.0) / 60.0;
  double c = value * saturation;
  double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (int(h)) {
    case 0:
      r = c, g = x;
      break;
    case 1:
      r = x, g = c;
      break;
    case 2:
      g = c, b = x;
      break;
    case 3:
      g = x, b = c;
      break;
    case 4:
      r = x, b = c;
      break;
    default:
      r = c, b = x;
      break;
  }
  double m = value - c;
  return {uint8_t((r + m) * 255), uint8_t((g + m) * 255), uint8_t((b + m) * 255)};
}

// The upright scene at (u, v), both from 0 to 1 with v = 0 at the top: a rainbow sky
// growing darker downwards, a sun, green ground and a white arrow pointing up.
// `aspect`: the upright picture's width over its height, so that the sun stays round.
Rgb Scene(double u, double v, double aspect, double hue_shift) {
  double arrow_half_width = (v - 0.08) * 0.5;
  bool arrow_head = v >= 0.08 && v < 0.3 && std::fabs(u - 0.5) < arrow_half_width;
  bool arrow_shaft = v >= 0.3 && v < 0.55 && std::fabs(u - 0.5) < 0.04;
  if (arrow_head || arrow_shaft) return {250, 250, 250};
  if (std::hypot((u - 0.8) * aspect, v - 0.2) < 0.1) return {255, 210, 40};
  if (v > 0.8) return FromHsv(100 + 40 * std::sin(u * 20), 0.7, 0.5);
  return FromHsv(u * 300 + hue_shift, 0.8, 0.95 - 0.5 * v);
}

// What a thumbnail file draws over the scene to tell what it stands for.
enum class Mark { kNone, kFilmStrip, kRawBand };

// A film strip's black edges at the top and bottom, with their sprocket holes.
std::optional<Rgb> FilmStrip(double u, double v) {
  constexpr double kEdge = 0.14;
  double across = v < kEdge ? v : 1 - v;
  if (across >= kEdge) return std::nullopt;
  double along = std::fmod(u * 10, 1.0);
  bool hole = along > 0.3 && along < 0.7 && across > 0.035 && across < kEdge - 0.035;
  return hole ? Rgb{225, 225, 225} : Rgb{20, 20, 20};
}

// A dark band low across the picture with "RAW" written on it in blocks.
std::optional<Rgb> RawBand(double u, double v, double aspect) {
  constexpr double kTop = 0.72, kBottom = 0.94;
  if (v < kTop || v >= kBottom) return std::nullopt;
  // Five rows of blocks, each letter five blocks wide with one between letters.
  // clang-format off
  static const char* const kGlyphs[5] = {
      "####. .###. #...#",
      "#...# #...# #...#",
      "####. ##### #.#.#",
      "#..#. #...# ##.##",
      "#...# #...# #...#",
  };
  // clang-format on
  constexpr int kColumns = 17;
  double block = (kBottom - kTop - 0.04) / 5;  // in v; square in pixels
  double block_u = block / aspect;
  int row = int(std::floor((v - kTop - 0.02) / block));
  int column = int(std::floor((u - (0.5 - block_u * kColumns / 2)) / block_u));
  bool lit = row >= 0 && row < 5 && column >= 0 && column < kColumns && kGlyphs[row][column] == '#';
  return lit ? Rgb{255, 235, 60} : Rgb{120, 20, 20};
}

Rgb MarkedScene(double u, double v, double aspect, double hue_shift, Mark mark) {
  std::optional<Rgb> marked;
  if (mark == Mark::kFilmStrip) marked = FilmStrip(u, v);
  if (mark == Mark::kRawBand) marked = RawBand(u, v, aspect);
  return marked.value_or(Scene(u, v, aspect, hue_shift));
}

// A camera's sensor grain: up to `grain` either way, the same for the same pixel every time.
uint8_t Grainy(uint8_t value, int x, int y, int channel, int grain) {
  if (grain == 0) return value;
  uint32_t hash = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(channel) * 83492791u;
  hash = (hash ^ (hash >> 13)) * 0x5bd1e995u;
  int offset = int((hash ^ (hash >> 15)) % uint32_t(2 * grain + 1)) - grain;
  return uint8_t(std::clamp(int(value) + offset, 0, 255));
}

// The stored picture: its pixel (x, y) shows the scene point it lands on once the picture
// is turned clockwise as the orientation asks, with `grain` as Grainy adds it.
std::vector<uint8_t> Render(int width, int height, uint16_t orientation, double hue_shift,
                            int grain, Mark mark = Mark::kNone) {
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  uint8_t* pixel = rgb.data();
  bool turned = orientation == 6 || orientation == 8;
  double aspect = turned ? double(height) / width : double(width) / height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double sx = (x + 0.5) / width, sy = (y + 0.5) / height;
      double u = sx, v = sy;
      if (orientation == 6) u = 1 - sy, v = sx;
      if (orientation == 7) u = 1 - sx, v = 1 - sy;
      if (orientation == 8) u = sy, v = 1 - sx;
      Rgb colour = MarkedScene(u, v, aspect, hue_shift, mark);
      *pixel++ = Grainy(colour.r, x, y, 0, grain);
      *pixel++ = Grainy(colour.g, x, y, 1, grain);
      *pixel++ = Grainy(colour.b, x, y, 2, grain);
    }
  }
  return rgb;
}

// A baseline JPEG without the JFIF segment the encoder puts after the start of image: a
// camera writes its EXIF segment there instead.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& rgb, int width, int height, int quality) {
  tjhandle handle = tjInitCompress();
  if (handle == nullptr) return {};
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  std::vector<uint8_t> bytes;
  if (tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, quality,
                  0) == 0) {
    bytes.assign(jpeg, jpeg + size);
    bool jfif = size > 6 && jpeg[2] == 0xFF && jpeg[3] == 0xE0;
    if (jfif) bytes.erase(bytes.begin() + 2, bytes.begin() + 4 + (jpeg[4] << 8 | jpeg[5]));
  }
  tjFree(jpeg);
  tjDestroy(handle);
  return bytes;
}

class LittleEndian {
 public:
  explicit LittleEndian(std::vector<uint8_t>* out) : out_(out) {}

  void U16(uint32_t value) {
    out_->push_back(uint8_t(value));
    out_->push_back(uint8_t(value >> 8));
  }
  void U32(uint32_t value) {
    U16(value & 0xFFFF);
    U16(value >> 16);
  }
  void Short(uint16_t tag, uint16_t value) { U16(tag), U16(3), U32(1), U16(value), U16(0); }
  void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    U16(tag), U16(type), U32(count), U32(value);
  }

 private:
  std::vector<uint8_t>* out_;
};

constexpr uint16_t kAscii = 2;
constexpr uint16_t kLong = 4;
constexpr uint32_t kDateLength = 20;  // "YYYY:MM:DD HH:MM:SS" and its terminator

std::string DateText(uint32_t seconds) {
  time_t time = seconds;
  struct tm calendar {};
  gmtime_r(&time, &calendar);
  char text[kDateLength];
  strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &calendar);
  return text;
}

// The TIFF block in the order a camera lays it out: main directory, Exif directory and its
// date text, thumbnail directory, thumbnail; without a thumbnail, the main directory links
// to nothing and the block ends with the date text.
std::vector<uint8_t> Tiff(const PictureSpec& spec, const std::vector<uint8_t>& thumbnail) {
  uint32_t main_entries = spec.orientation != 0 ? 2 : 1;
  uint32_t exif_directory = 8 + 2 + 12 * main_entries + 4;
  uint32_t date_text = exif_directory + 2 + 12 * 4 + 4;
  uint32_t thumbnail_directory = date_text + kDateLength;
  uint32_t thumbnail_offset = thumbnail_directory + 2 + 12 * 3 + 4;

  std::vector<uint8_t> tiff = {'I', 'I', 0x2A, 0};
  LittleEndian out(&tiff);
  out.U32(8);
  out.U16(main_entries);
  if (spec.orientation != 0) out.Short(0x0112, spec.orientation);
  out.Entry(0x8769, kLong, 1, exif_directory);
  out.U32(thumbnail.empty() ? 0 : thumbnail_directory);

  out.U16(4);
  out.Entry(0x9003, kAscii, kDateLength, date_text);
  out.Short(0x9209, spec.flash);
  out.Short(0xA002, spec.width);
  out.Short(0xA003, spec.height);
  out.U32(0);
  std::string date = DateText(spec.date);
  tiff.insert(tiff.end(), date.begin(), date.end());
  tiff.push_back(0);
  if (thumbnail.empty()) return tiff;

  out.U16(3);
  out.Short(0x0103, 6);  // compression: JPEG
  out.Entry(0x0201, kLong, 1, thumbnail_offset);
  out.Entry(0x0202, kLong, 1, uint32_t(thumbnail.size()));
  out.U32(0);
  tiff.insert(tiff.end(), thumbnail.begin(), thumbnail.end());
  return tiff;
}

// The JPEG file a camera writes: start of image, the EXIF segment, then `image` (a JPEG
// stream of its own) after its start of image. Empty when `image` is, or the EXIF data
// outgrows its segment.
std::vector<uint8_t> ExifJpeg(const PictureSpec& spec, const std::vector<uint8_t>& image,
                              const std::vector<uint8_t>& thumbnail) {
  if (image.size() < 2) return {};
  static const uint8_t kIdentifier[] = {'E', 'x', 'i', 'f', 0, 0};
  std::vector<uint8_t> tiff = Tiff(spec, thumbnail);
  size_t segment = 2 + sizeof kIdentifier + tiff.size();
  if (segment > 0xFFFF) return {};
  std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE1, uint8_t(segment >> 8), uint8_t(segment)};
  file.insert(file.end(), kIdentifier, kIdentifier + sizeof kIdentifier);
  file.insert(file.end(), tiff.begin(), tiff.end());
  file.insert(file.end(), image.begin() + 2, image.end());
  return file;
}

}  // namespace

std::vector<uint8_t> MakePicture(const PictureSpec& spec) {
  double hue_shift = spec.date % 360;
  std::vector<uint8_t> picture =
      Compress(Render(spec.width, spec.height, spec.orientation, hue_shift, 0), spec.width,
               spec.height, kPictureQuality);
  bool upright = spec.width < spec.height;
  int thumb_width = upright ? kThumbnailShort : kThumbnailLong;
  int thumb_height = upright ? kThumbnailLong : kThumbnailShort;
  std::vector<uint8_t> thumbnail =
      Compress(Render(thumb_width, thumb_height, spec.orientation, hue_shift, kThumbnailGrain),
               thumb_width, thumb_height, kThumbnailQuality);
  if (picture.empty() || thumbnail.empty()) return {};
  return ExifJpeg(spec, picture, thumbnail);
}

std::vector<uint8_t> MakeThumbnailFile(const PictureSpec& spec, ThumbnailFor main_file) {
  PictureSpec exif = spec;
  exif.orientation = 1;
  Mark mark = main_file == ThumbnailFor::kMovie ? Mark::kFilmStrip : Mark::kRawBand;
  std::vector<uint8_t> image =
      Compress(Render(kThumbnailLong, kThumbnailShort, 1, spec.date % 360, kThumbnailGrain, mark),
               kThumbnailLong, kThumbnailShort, kThumbnailQuality);
  return ExifJpeg(exif, image, {});
}

std::vector<PictureSpec> DemoPictures() {
  struct Shape {
    uint16_t width, height, orientation, flash;
  };
  static const Shape kShapes[] = {
      {640, 480, 1, 0},  {1024, 768, 6, 1},  {800, 600, 1, 0},   {1280, 960, 8, 0},
      {640, 480, 0, 1},  {1600, 1200, 7, 0}, {480, 640, 1, 1},   {1024, 768, 1, 0},
      {1280, 960, 6, 0}, {640, 480, 8, 1},   {1600, 1200, 1, 0}, {320, 240, 0, 0},
  };
  constexpr uint32_t kFirstDate = 992099852;  // 2001-06-09 15:17:32 UTC
  std::vector<PictureSpec> pictures;
  for (const Shape& shape : kShapes) {
    PictureSpec spec;
    char name[16];
    snprintf(name, sizeof name, "IMG_%04zu.JPG", pictures.size() + 1);
    spec.name = name;
    spec.width = shape.width;
    spec.height = shape.height;
    spec.orientation = shape.orientation;
    spec.flash = shape.flash;
    spec.date = kFirstDate + uint32_t(pictures.size()) * 11873;  // a few hours apart
    pictures.push_back(spec);
  }
  return pictures;
}

}  // namespace sim
