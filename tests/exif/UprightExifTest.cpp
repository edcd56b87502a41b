// The EXIF entries of a turned picture changed in place, and the size read from its frame
// header: on files laid out here byte by byte, in both byte orders and entry types.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "exif/UprightExif.h"

namespace exiftest {
namespace {

constexpr uint16_t kAscii = 2;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;

// What the EXIF block of a made file holds.
struct Layout {
  bool intel = true;
  uint16_t orientation_type = kShort;  // 0: no Orientation entry
  uint32_t orientation = 6;
  uint16_t size_type = kShort;  // 0: no Exif directory
  uint32_t width = 2272, height = 1704;
  uint32_t orientation_count = 1;
  bool xmp_first = false;  // an APP1 segment of another kind before the EXIF one
  bool exif = true;        // false: no EXIF block at all
  uint32_t main_directory = 8;
  uint16_t exif_entries = 3;  // as the Exif directory says; it holds 3
};

class Writer {
 public:
  Writer(std::vector<uint8_t>* out, bool intel) : out_(out), intel_(intel) {}
  void Put(uint32_t value, int size) {
    for (int i = 0; i < size; i++)
      out_->push_back(uint8_t(value >> (intel_ ? 8 * i : 8 * (size - 1 - i))));
  }
  // An entry whose single value is left-justified in its field, as TIFF has it.
  void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    Put(tag, 2), Put(type, 2), Put(count, 4);
    if (type == kLong) {
      Put(value, 4);
    } else {
      Put(value, 2);
      Put(0, 2);
    }
  }

 private:
  std::vector<uint8_t>* out_;
  bool intel_;
};

void Segment(std::vector<uint8_t>* file, uint8_t marker, const std::vector<uint8_t>& body) {
  size_t length = body.size() + 2;
  file->insert(file->end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
  file->insert(file->end(), body.begin(), body.end());
}

std::vector<uint8_t> Tiff(const Layout& layout) {
  std::vector<uint8_t> tiff;
  Writer out(&tiff, layout.intel);
  tiff.push_back(layout.intel ? 'I' : 'M');
  tiff.push_back(layout.intel ? 'I' : 'M');
  out.Put(42, 2);
  out.Put(layout.main_directory, 4);
  uint16_t main_entries = 1 + (layout.orientation_type != 0) + (layout.size_type != 0);
  uint32_t exif_directory = 8 + 2 + 12 * main_entries + 4;
  out.Put(main_entries, 2);
  out.Entry(0x010F, kAscii, 4, 'C' | 'a' << 8 | 'n' << 16);  // the make, "Can"
  if (layout.orientation_type != 0)
    out.Entry(0x0112, layout.orientation_type, layout.orientation_count, layout.orientation);
  if (layout.size_type != 0) out.Entry(0x8769, kLong, 1, exif_directory);
  out.Put(0, 4);
  if (layout.size_type != 0) {
    out.Put(layout.exif_entries, 2);
    out.Entry(0x9209, kShort, 1, 16);  // flash
    out.Entry(0xA002, layout.size_type, 1, layout.width);
    out.Entry(0xA003, layout.size_type, 1, layout.height);
    out.Put(0, 4);
  }
  return tiff;
}

std::vector<uint8_t> MakeFile(const Layout& layout) {
  std::vector<uint8_t> file = {0xFF, 0xD8};
  Segment(&file, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
  if (layout.xmp_first) {
    std::string xmp = std::string("http://ns.adobe.com/xap/1.0/") + '\0' + "<x/>";
    Segment(&file, 0xE1, {xmp.begin(), xmp.end()});
  }
  if (layout.exif) {
    std::vector<uint8_t> body = {'E', 'x', 'i', 'f', 0, 0};
    std::vector<uint8_t> tiff = Tiff(layout);
    body.insert(body.end(), tiff.begin(), tiff.end());
    Segment(&file, 0xE1, body);
  }
  Segment(&file, 0xFE, {'h', 'i'});
  Segment(&file, 0xC0, {8, 0x08, 0xE0, 0x06, 0xA0, 1, 1, 0x11, 0});  // 1696 x 2272
  Segment(&file, 0xDA, {1, 1, 0, 0, 63, 0});
  file.insert(file.end(), {0x12, 0x34, 0xFF, 0xD9});
  return file;
}

// A scratch file holding the bytes, open for reading and writing.
class File {
 public:
  explicit File(const std::vector<uint8_t>& bytes) {
    char pattern[] = "/tmp/pictrove_upright_XXXXXX";
    fd_ = mkstemp(pattern);
    path_ = pattern;
    if (fd_ != -1 && write(fd_, bytes.data(), bytes.size()) != ssize_t(bytes.size())) abort();
  }
  ~File() {
    close(fd_);
    unlink(path_.c_str());
  }
  int Fd() const { return fd_; }
  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> bytes(size_t(lseek(fd_, 0, SEEK_END)));
    if (pread(fd_, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size())) bytes.clear();
    return bytes;
  }

 private:
  int fd_ = -1;
  std::string path_;
};

// A camera's file and the file jpegtran turned it into, as far as their marker segments go.
struct Case {
  const char* label;
  Layout camera;
  Layout turned;
  int result;
};

Case Same(const char* label, Layout layout, int result) {
  return {label, layout, layout, result};
}

// The camera's layout with Orientation 1 and the turned size.
Layout Upright(Layout layout) {
  layout.orientation = 1;
  layout.width = 1696;
  layout.height = 2272;
  return layout;
}

void PrintTo(const Case& test, std::ostream* out) {
  *out << test.label;
}

class MarkUprightCase : public testing::TestWithParam<Case> {};

// Where the change succeeds, the turned file's block is the camera's with the three values
// changed; else the turned file is as it was.
TEST_P(MarkUprightCase, ChangesOnlyTheValuesInPlace) {
  const Case& test = GetParam();
  File camera(MakeFile(test.camera));
  std::vector<uint8_t> before = MakeFile(test.turned);
  File turned(before);
  ASSERT_NE(turned.Fd(), -1);
  EXPECT_EQ(MarkUpright(turned.Fd(), camera.Fd(), JpegSize{1696, 2272}), test.result);
  EXPECT_EQ(turned.Bytes(), test.result == 0 ? MakeFile(Upright(test.camera)) : before);
  EXPECT_EQ(camera.Bytes(), MakeFile(test.camera));
}

Layout With(void (*change)(Layout*)) {
  Layout layout;
  change(&layout);
  return layout;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, MarkUprightCase,
    testing::Values(
        Same("IntelShorts", Layout{}, 0),
        Same("MotorolaShorts", With([](Layout* l) { l->intel = false; }), 0),
        Same("IntelLongs", With([](Layout* l) { l->size_type = kLong; }), 0),
        Same("MotorolaLongs",
             With([](Layout* l) { l->intel = false, l->size_type = l->orientation_type = kLong; }),
             0),
        Same("AlreadyUpright", With([](Layout* l) { *l = Upright(*l); }), 0),
        Same("NoOrientation", With([](Layout* l) { l->orientation_type = 0; }), 0),
        Same("NoExifDirectory", With([](Layout* l) { l->size_type = 0; }), 0),
        Same("NoExifBlock", With([](Layout* l) { l->exif = false; }), 0),
        Same("AnotherApp1First", With([](Layout* l) { l->xmp_first = true; }), 0),
        // What jpegtran does when the EXIF segment comes first and the size changes.
        Case{"JpegtranMadeTheSizesLong", Layout{},
             With([](Layout* l) { l->size_type = kLong, l->width = 1696, l->height = 2272; }), 0},
        Case{"TurnedBlockDamaged", Layout{}, With([](Layout* l) { l->main_directory = 5000; }), 0},
        Case{"TurnedWithoutTheBlock", Layout{}, With([](Layout* l) { l->exif = false; }), EINVAL},
        Case{"BlocksOfTwoSizes", Layout{}, With([](Layout* l) { l->orientation_type = 0; }),
             EINVAL},
        Same("MainDirectoryOutside", With([](Layout* l) { l->main_directory = 5000; }), EINVAL),
        Same("ExifDirectoryRunsOver", With([](Layout* l) { l->exif_entries = 9; }), EINVAL),
        Same("OrientationAsText", With([](Layout* l) { l->orientation_type = kAscii; }), EINVAL),
        Same("TwoOrientations", With([](Layout* l) { l->orientation_count = 2; }), EINVAL)),
    [](const testing::TestParamInfo<Case>& info) { return info.param.label; });

TEST(MarkUpright, SizeTooLargeForAShortChangesNothing) {
  std::vector<uint8_t> before = MakeFile(Layout{});
  File camera(before), turned(before);
  EXPECT_EQ(MarkUpright(turned.Fd(), camera.Fd(), JpegSize{70000, 2272}), EINVAL);
  EXPECT_EQ(turned.Bytes(), before);
}

TEST(MarkUpright, NoJpegChangesNothing) {
  std::vector<uint8_t> nonsense = {'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G'};
  std::vector<uint8_t> jpeg = MakeFile(Layout{});
  File camera(jpeg), turned(nonsense);
  EXPECT_EQ(MarkUpright(turned.Fd(), camera.Fd(), JpegSize{1, 1}), EINVAL);
  EXPECT_EQ(turned.Bytes(), nonsense);
  File no_camera(nonsense), turned_jpeg(jpeg);
  EXPECT_EQ(MarkUpright(turned_jpeg.Fd(), no_camera.Fd(), JpegSize{1, 1}), EINVAL);
  EXPECT_EQ(turned_jpeg.Bytes(), jpeg);
}

TEST(MarkUpright, FileCutShortInItsSegmentsChangesNothing) {
  std::vector<uint8_t> whole = MakeFile(Layout{});
  std::vector<uint8_t> before(whole.begin(), whole.begin() + 40);  // inside the EXIF block
  File camera(whole), turned(before);
  EXPECT_EQ(MarkUpright(turned.Fd(), camera.Fd(), JpegSize{1696, 2272}), EINVAL);
  EXPECT_EQ(turned.Bytes(), before);
}

TEST(ReadJpegSize, FromTheFrameHeader) {
  File file(MakeFile(Layout{}));
  std::optional<JpegSize> size = ReadJpegSize(file.Fd());
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 1696u);
  EXPECT_EQ(size->height, 2272u);
}

TEST(ReadJpegSize, NoneWithoutAFrameHeader) {
  std::vector<uint8_t> bytes = MakeFile(Layout{});
  for (size_t i = 0; i + 1 < bytes.size(); i++)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) bytes[i + 1] = 0xEF;  // an APP15 instead
  File without(bytes);
  EXPECT_FALSE(ReadJpegSize(without.Fd()));
  File nothing(std::vector<uint8_t>{'n', 'o'});
  EXPECT_FALSE(ReadJpegSize(nothing.Fd()));
}

}  // namespace
}  // namespace exiftest
