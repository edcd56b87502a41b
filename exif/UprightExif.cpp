#include "exif/UprightExif.h"

#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kApp1 = 0xE1;
constexpr uint8_t kExifIdentifier[] = {'E', 'x', 'i', 'f', 0, 0};

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kExifDirectoryTag = 0x8769;
constexpr uint16_t kImageWidthTag = 0xA002;
constexpr uint16_t kImageLengthTag = 0xA003;
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kDirectory = 13;  // a LONG that points at a directory
constexpr size_t kEntrySize = 12;

// All `length` bytes at `offset`: 0, EINVAL when the file ends first, or the read error.
int ReadAt(int fd, off_t offset, uint8_t* data, size_t length) {
  while (length > 0) {
    ssize_t got = pread(fd, data, length, offset);
    if (got == -1 && errno == EINTR) continue;
    if (got == -1) return errno;
    if (got == 0) return EINVAL;
    data += got;
    offset += got;
    length -= size_t(got);
  }
  return 0;
}

int WriteAt(int fd, off_t offset, const uint8_t* data, size_t length) {
  while (length > 0) {
    ssize_t put = pwrite(fd, data, length, offset);
    if (put == -1 && errno == EINTR) continue;
    if (put == -1) return errno;
    if (put == 0) return EIO;
    data += put;
    offset += put;
    length -= size_t(put);
  }
  return 0;
}

struct Segment {
  uint8_t marker = 0;
  off_t body = 0;     // where the bytes after the length field start
  size_t length = 0;  // how many there are
};

// Walks the marker segments after the start of image until `found` takes one (0), the
// image data begins (ENOENT), or the file is no JPEG or ends (EINVAL) or cannot be read.
template <typename Found>
int FindSegment(int fd, Found found) {
  uint8_t head[4];
  if (int error = ReadAt(fd, 0, head, 2); error != 0) return error;
  if (head[0] != 0xFF || head[1] != kStartOfImage) return EINVAL;
  off_t at = 2;
  for (;;) {
    if (int error = ReadAt(fd, at, head, 2); error != 0) return error;
    if (head[0] != 0xFF) return EINVAL;
    uint8_t marker = head[1];
    if (marker == 0xFF) {  // a fill byte before the marker
      at += 1;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) return ENOENT;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
      at += 2;
      continue;
    }
    if (int error = ReadAt(fd, at + 2, head + 2, 2); error != 0) return error;
    size_t length = size_t(head[2]) << 8 | head[3];
    if (length < 2) return EINVAL;
    Segment segment{marker, at + 4, length - 2};
    int taken = found(segment);
    if (taken != ENOENT) return taken;
    at += off_t(2 + length);
  }
}

bool IsFrameHeader(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The TIFF structure inside the EXIF block, read in its own byte order.
class Tiff {
 public:
  explicit Tiff(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  bool ReadHeader(uint32_t* first_directory) {
    if (bytes_.size() < 8) return false;
    if (bytes_[0] == 'I' && bytes_[1] == 'I')
      intel_ = true;
    else if (bytes_[0] == 'M' && bytes_[1] == 'M')
      intel_ = false;
    else
      return false;
    if (Get16(2) != 42) return false;
    *first_directory = Get32(4);
    return true;
  }

  // The offsets of the directory's entries; false when it does not lie whole in the block.
  bool Entries(uint32_t directory, std::vector<size_t>* entries) const {
    if (directory > bytes_.size() || bytes_.size() - directory < 2) return false;
    size_t count = Get16(directory);
    if ((bytes_.size() - directory - 2) / kEntrySize < count) return false;
    entries->clear();
    for (size_t i = 0; i < count; i++) entries->push_back(directory + 2 + i * kEntrySize);
    return true;
  }

  uint16_t Tag(size_t entry) const { return Get16(entry); }
  uint16_t Type(size_t entry) const { return Get16(entry + 2); }
  uint32_t Count(size_t entry) const { return Get32(entry + 4); }
  uint32_t Value(size_t entry) const { return Get32(entry + 8); }

  // Sets the single SHORT or LONG value of the entry: false when it is none of those or
  // the value does not fit.
  bool Set(size_t entry, uint32_t value) {
    if (Count(entry) != 1) return false;
    size_t at = entry + 8;
    if (Type(entry) == kShort) {
      if (value > 0xFFFF) return false;
      Put(at, value, 2);  // a SHORT lies in the first two bytes of the field, either order
    } else if (Type(entry) == kLong) {
      Put(at, value, 4);
    } else {
      return false;
    }
    return true;
  }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  uint32_t Get(size_t at, int size) const {
    uint32_t value = 0;
    for (int i = 0; i < size; i++) {
      int shift = intel_ ? 8 * i : 8 * (size - 1 - i);
      value |= uint32_t(bytes_[at + size_t(i)]) << shift;
    }
    return value;
  }
  uint16_t Get16(size_t at) const { return uint16_t(Get(at, 2)); }
  uint32_t Get32(size_t at) const { return Get(at, 4); }
  void Put(size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; i++) {
      int shift = intel_ ? 8 * i : 8 * (size - 1 - i);
      bytes_[at + size_t(i)] = uint8_t(value >> shift);
    }
  }

  std::vector<uint8_t> bytes_;
  bool intel_ = true;
};

// Sets the block's three entries in memory: false when the block is malformed or an entry
// cannot take its value.
bool SetEntries(Tiff* tiff, JpegSize size) {
  uint32_t main_directory = 0;
  std::vector<size_t> entries;
  if (!tiff->ReadHeader(&main_directory) || !tiff->Entries(main_directory, &entries)) return false;
  std::vector<uint32_t> exif_directories;
  for (size_t entry : entries) {
    if (tiff->Tag(entry) == kOrientationTag && !tiff->Set(entry, 1)) return false;
    if (tiff->Tag(entry) == kExifDirectoryTag) {
      uint16_t type = tiff->Type(entry);
      if ((type != kLong && type != kDirectory) || tiff->Count(entry) != 1) return false;
      exif_directories.push_back(tiff->Value(entry));
    }
  }
  for (uint32_t directory : exif_directories) {
    if (!tiff->Entries(directory, &entries)) return false;
    for (size_t entry : entries) {
      if (tiff->Tag(entry) == kImageWidthTag && !tiff->Set(entry, size.width)) return false;
      if (tiff->Tag(entry) == kImageLengthTag && !tiff->Set(entry, size.height)) return false;
    }
  }
  return true;
}

// The TIFF data of the file's EXIF block and where it starts; ENOENT when it has none.
int ReadExifBlock(int fd, off_t* start, std::vector<uint8_t>* block) {
  return FindSegment(fd, [&](const Segment& segment) {
    if (segment.marker != kApp1 || segment.length < sizeof kExifIdentifier) return ENOENT;
    uint8_t identifier[sizeof kExifIdentifier];
    if (int error = ReadAt(fd, segment.body, identifier, sizeof identifier); error != 0)
      return error;
    if (memcmp(identifier, kExifIdentifier, sizeof identifier) != 0) return ENOENT;
    *start = segment.body + off_t(sizeof identifier);
    block->resize(segment.length - sizeof identifier);
    return ReadAt(fd, *start, block->data(), block->size());
  });
}

}  // namespace

std::optional<JpegSize> ReadJpegSize(int fd) {
  JpegSize size;
  int error = FindSegment(fd, [&](const Segment& segment) {
    if (!IsFrameHeader(segment.marker)) return ENOENT;
    uint8_t frame[5];  // precision, height, width
    if (segment.length < sizeof frame) return EINVAL;
    if (int read_error = ReadAt(fd, segment.body, frame, sizeof frame); read_error != 0)
      return read_error;
    size.height = uint32_t(frame[1]) << 8 | frame[2];
    size.width = uint32_t(frame[3]) << 8 | frame[4];
    return 0;
  });
  if (error != 0 || size.width == 0 || size.height == 0) return std::nullopt;
  return size;
}

int MarkUpright(int fd, int camera, JpegSize size) {
  off_t camera_start = 0, start = 0;
  std::vector<uint8_t> camera_block, block;
  int error = ReadExifBlock(camera, &camera_start, &camera_block);
  if (error == ENOENT) return 0;  // no EXIF block: nothing says the picture is turned
  if (error != 0) return error;
  error = ReadExifBlock(fd, &start, &block);
  if (error == ENOENT) return EINVAL;  // the camera's block was not kept
  if (error != 0) return error;
  if (block.size() != camera_block.size()) return EINVAL;

  Tiff upright(camera_block);
  if (!SetEntries(&upright, size)) return EINVAL;
  // Only the bytes that differ go to the file, where they were.
  const std::vector<uint8_t>& wanted = upright.Bytes();
  for (size_t at = 0; at < block.size(); at++) {
    if (wanted[at] == block[at]) continue;
    size_t end = at;
    while (end < block.size() && wanted[end] != block[end]) end++;
    if (int write_error = WriteAt(fd, start + off_t(at), wanted.data() + at, end - at);
        write_error != 0)
      return write_error;
    at = end;
  }
  return 0;
}
