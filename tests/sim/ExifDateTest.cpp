#include "kit/ExifDate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/Samples.h"

namespace {

// SOI and an APP1 segment holding a TIFF structure with IFD0 -> Exif IFD ->
// DateTimeOriginal, in the given byte order.
std::vector<uint8_t> ExifFile(bool intel, const std::string& date, uint16_t date_type = 2) {
  std::vector<uint8_t> tiff;
  auto put16 = [&](uint16_t v) {
    if (intel) {
      tiff.push_back(uint8_t(v));
      tiff.push_back(uint8_t(v >> 8));
    } else {
      tiff.push_back(uint8_t(v >> 8));
      tiff.push_back(uint8_t(v));
    }
  };
  auto put32 = [&](uint32_t v) {
    if (intel) {
      put16(uint16_t(v));
      put16(uint16_t(v >> 16));
    } else {
      put16(uint16_t(v >> 16));
      put16(uint16_t(v));
    }
  };
  tiff.push_back(intel ? 'I' : 'M');
  tiff.push_back(intel ? 'I' : 'M');
  put16(42);
  put32(8);
  put16(1);  // IFD0 at 8: one entry
  put16(0x8769);
  put16(4);
  put32(1);
  put32(26);
  put32(0);
  put16(1);  // Exif IFD at 26: one entry
  put16(0x9003);
  put16(date_type);
  put32(uint32_t(date.size() + 1));
  put32(44);
  put32(0);
  tiff.insert(tiff.end(), date.begin(), date.end());  // at 44
  tiff.push_back(0);
  std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE1};
  size_t length = 2 + 6 + tiff.size();
  file.push_back(uint8_t(length >> 8));
  file.push_back(uint8_t(length));
  for (char c : std::string("Exif\0\0", 6)) file.push_back(uint8_t(c));
  file.insert(file.end(), tiff.begin(), tiff.end());
  file.insert(file.end(), {0xFF, 0xD9});
  return file;
}

TEST(ExifDate, ParsesTheTextAsUtc) {
  EXPECT_EQ(kit::ParseExifDate("1970:01:01 00:00:00"), 0u);
  EXPECT_EQ(kit::ParseExifDate("2001:06:09 15:17:32"), 992099852u);
  EXPECT_EQ(kit::ParseExifDate("2000:02:29 12:00:00"), 951825600u);
  EXPECT_EQ(kit::ParseExifDate("2106:02:07 06:28:15"), 4294967295u);
  EXPECT_FALSE(kit::ParseExifDate("2106:02:07 06:28:16")) << "beyond 32 bits";
  EXPECT_FALSE(kit::ParseExifDate("1969:12:31 23:59:59"));
  EXPECT_FALSE(kit::ParseExifDate("2001:02:29 12:00:00"));
  EXPECT_FALSE(kit::ParseExifDate("0000:00:00 00:00:00")) << "what cameras write for none";
  EXPECT_FALSE(kit::ParseExifDate("2001:06:09 24:00:00"));
  EXPECT_FALSE(kit::ParseExifDate("2001-06-09 15:17:32"));
  EXPECT_FALSE(kit::ParseExifDate("2001:06:09 15:17"));
}

TEST(ExifDate, ReadsBothByteOrders) {
  EXPECT_EQ(kit::DateTimeOriginal(ExifFile(true, "2001:06:09 15:17:32")), 992099852u);
  EXPECT_EQ(kit::DateTimeOriginal(ExifFile(false, "2001:06:09 15:17:32")), 992099852u);
}

TEST(ExifDate, RefusesWhatIsNotThere) {
  EXPECT_FALSE(kit::DateTimeOriginal(ExifFile(true, "2001:06:09 15:17:32", 7))) << "UNDEFINED";
  std::vector<uint8_t> cut = ExifFile(true, "2001:06:09 15:17:32");
  cut[5] -= 12;  // the segment now ends inside the date text
  EXPECT_FALSE(kit::DateTimeOriginal(cut));
  EXPECT_FALSE(kit::DateTimeOriginal(std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xD9}));
  EXPECT_FALSE(kit::DateTimeOriginal(std::vector<uint8_t>{}));
}

TEST(ExifDate, ReadsARealCamerasDate) {
  SKIP_WITHOUT_SAMPLES();
  std::ifstream in(std::filesystem::path(testsupport::SamplesDirectory()) / "canon-ixus.jpg",
                   std::ios::binary);
  std::vector<uint8_t> file(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(kit::DateTimeOriginal(file), 992099852u);
}

}  // namespace
