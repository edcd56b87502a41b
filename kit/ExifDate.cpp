#include "kit/ExifDate.h"

#include <cstring>

#include "kit/JpegSegments.h"

namespace kit {

namespace {

constexpr uint16_t kExifIfdPointer = 0x8769;
constexpr uint16_t kDateTimeOriginal = 0x9003;
constexpr uint16_t kAscii = 2;
constexpr uint16_t kLong = 4;

// The TIFF structure inside the APP1 segment, every read checked against its bounds.
class Tiff {
 public:
  Tiff(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  bool ReadHeader(uint32_t* first_ifd) {
    if (size_ < 8) return false;
    if (std::memcmp(bytes_, "II", 2) == 0) {
      intel_ = true;
    } else if (std::memcmp(bytes_, "MM", 2) != 0) {
      return false;
    }
    uint16_t magic;
    return Read16(2, &magic) && magic == 42 && Read32(4, first_ifd);
  }

  // The value-or-offset field of the entry with `tag` in the IFD at `ifd`.
  bool FindEntry(uint32_t ifd, uint16_t tag, uint16_t* type, uint32_t* count, uint32_t* field) {
    uint16_t entries;
    if (!Read16(ifd, &entries)) return false;
    for (uint32_t i = 0; i < entries; ++i) {
      uint64_t at = uint64_t(ifd) + 2 + 12 * uint64_t(i);
      uint16_t found;
      if (!Read16(at, &found)) return false;
      if (found != tag) continue;
      return Read16(at + 2, type) && Read32(at + 4, count) && Read32(at + 8, field);
    }
    return false;
  }

  bool Text(uint64_t at, uint32_t count, std::string_view* text) const {
    if (at + count > size_) return false;
    *text = std::string_view(reinterpret_cast<const char*>(bytes_ + at), count);
    return true;
  }

 private:
  bool Read16(uint64_t at, uint16_t* value) const {
    if (at + 2 > size_) return false;
    const uint8_t* p = bytes_ + at;
    *value = intel_ ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]);
    return true;
  }
  bool Read32(uint64_t at, uint32_t* value) const {
    uint16_t first, second;
    if (!Read16(at, &first) || !Read16(at + 2, &second)) return false;
    *value = intel_ ? uint32_t(second) << 16 | first : uint32_t(first) << 16 | second;
    return true;
  }

  const uint8_t* bytes_;
  size_t size_;
  bool intel_ = false;
};

bool Digits(std::string_view text, size_t at, size_t n, int* value) {
  *value = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    *value = *value * 10 + (text[i] - '0');
  }
  return true;
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  int64_t era = (year >= 0 ? year : year - 399) / 400;
  int64_t year_of_era = year - era * 400;
  int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<uint32_t> ParseExifDate(std::string_view text) {
  if (text.size() < 19 || text[4] != ':' || text[7] != ':' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':')
    return std::nullopt;
  int year, month, day, hour, minute, second;
  if (!Digits(text, 0, 4, &year) || !Digits(text, 5, 2, &month) || !Digits(text, 8, 2, &day) ||
      !Digits(text, 11, 2, &hour) || !Digits(text, 14, 2, &minute) || !Digits(text, 17, 2, &second))
    return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59)
    return std::nullopt;
  int64_t seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  if (seconds < 0 || seconds > int64_t(UINT32_MAX)) return std::nullopt;
  return uint32_t(seconds);
}

std::optional<uint32_t> DateTimeOriginal(std::span<const uint8_t> file) {
  for (const JpegSegment& segment : HeadSegments(file)) {
    if (segment.marker != kApp1Marker || segment.end - segment.body < 6 ||
        std::memcmp(&file[segment.body], "Exif\0\0", 6) != 0)
      continue;
    Tiff tiff(&file[segment.body + 6], segment.end - segment.body - 6);
    uint32_t ifd0, exif_ifd, count, field;
    uint16_t type;
    std::string_view text;
    if (!tiff.ReadHeader(&ifd0) ||
        !tiff.FindEntry(ifd0, kExifIfdPointer, &type, &count, &exif_ifd) || type != kLong ||
        !tiff.FindEntry(exif_ifd, kDateTimeOriginal, &type, &count, &field) || type != kAscii ||
        count < 19 || !tiff.Text(field, count, &text))
      return std::nullopt;
    return ParseExifDate(text);
  }
  return std::nullopt;
}

}  // namespace kit
