#include "exif/ExifWalker.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "app/pic_Item.h"

namespace exif {

namespace {

constexpr uint8_t kIdentifier[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr uint32_t kEntryFieldSizes[4] = {2, 2, 4, 4};  // tag, type, count, value
constexpr size_t kEntrySize = 12;
// A JPEG segment counts its length in 16 bits; nothing inside one can be longer.
constexpr uint32_t kMaxSegmentLength = 0xFFFF;

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kUndefined = 7;

constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kFlash = 0x9209;
constexpr uint16_t kImageWidth = 0xA002;
constexpr uint16_t kImageLength = 0xA003;
constexpr uint16_t kExifOffset = 0x8769;
constexpr uint16_t kInteroperabilityOffset = 0xA005;
constexpr uint16_t kMakerNote = 0x927C;
constexpr uint16_t kThumbnailOffset = 0x0201;
constexpr uint16_t kThumbnailLength = 0x0202;

// An offset at or behind the current byte can never be reached: skipping this far passes
// over the rest of any reply.
constexpr uint64_t kUnreachable = std::numeric_limits<uint64_t>::max();

uint16_t Read16(const uint8_t* bytes) {
  return uint16_t(bytes[0] | bytes[1] << 8);
}

uint32_t Read32(const uint8_t* bytes) {
  return Read16(bytes) | uint32_t(Read16(bytes + 2)) << 16;
}

// Segments that only carry metadata and may stand between the start of the image and the
// EXIF segment (JFIF writers put their APP0 there).
bool IsPassableMarker(uint32_t marker) {
  return (marker >= 0xFFE0 && marker <= 0xFFEF) || marker == 0xFFFE;
}

}  // namespace

// The members below are defined inline because the library is built position-independent,
// where the compiler keeps out-of-line functions callable from elsewhere and does not
// inline them; the walk makes several calls for every field it reads.

ExifWalker::ExifWalker(kit::ByteStream* thumbnail, pic_Item* picture)
    : thumbnail_(thumbnail), picture_(picture) {}

WalkResult ExifWalker::Feed(const uint8_t* data, size_t size) {
  size_t at = 0;
  while (at < size && result_ == WalkResult::kMore) {
    if (skip_ != 0) {
      at += Skip(data + at, size - at);
    } else if (phase_ == Phase::kThumbnail) {
      at += CopyThumbnail(data + at, size - at);
    } else if (phase_ == Phase::kEntry && field_bytes_ == 0 && entry_field_ == 0 &&
               size - at >= kEntrySize) {
      at += TakeEntry(data + at);
    } else {
      at += TakeField(data + at, size - at);
    }
  }
  return result_;
}

// Every byte passes through the accumulator, skipped and copied ones too; only the last
// four can still be in it.
inline void ExifWalker::Absorb(const uint8_t* data, size_t size) {
  for (size_t i = size > 4 ? size - 4 : 0; i < size; ++i)
    accumulator_ = accumulator_ << 8 | data[i];
  field_bytes_ += uint32_t(size);
}

// Fields are taken whole where the piece holds them, byte by byte across piece boundaries:
// either way the field is handled once, at its last byte.
inline size_t ExifWalker::TakeField(const uint8_t* data, size_t size) {
  uint32_t field = FieldSize();
  size_t taken = std::min<size_t>(field - field_bytes_, size);
  Absorb(data, taken);
  position_ += taken - 1;
  if (field_bytes_ == field) result_ = Handle(data[taken - 1]);
  ++position_;
  return taken;
}

// A whole entry in the piece is read in one go: what the accumulator would have held of
// it is cleared at its end anyway.
inline size_t ExifWalker::TakeEntry(const uint8_t* data) {
  tag_ = Read16(data);
  type_ = Read16(data + 2);
  count_ = Read32(data + 4);
  position_ += kEntrySize;
  EndEntry(Read32(data + 8));
  return kEntrySize;
}

inline uint32_t ExifWalker::FieldSize() const {
  switch (phase_) {
    case Phase::kStartOfImage:
    case Phase::kEntryCount:
      return 2;
    case Phase::kApp1Marker:
      // The marker; for a segment other than APP1, then its length.
      return field_bytes_ < 2 ? 2 : 4;
    case Phase::kEntry:
      return kEntryFieldSizes[entry_field_];
    case Phase::kDirectoryLink:
      return 4;
    case Phase::kExifIdentifier:
      return field_bytes_ + 1;  // each byte is checked as it comes
    case Phase::kTiffHeader:
    case Phase::kThumbnail:
    case Phase::kFinished:
      break;
  }
  return 1;
}

inline size_t ExifWalker::Skip(const uint8_t* data, size_t size) {
  size_t passed = size_t(std::min<uint64_t>(skip_, size));
  Absorb(data, passed);
  position_ += passed;
  skip_ -= passed;
  if (skip_ == 0) field_bytes_ = 0;
  return passed;
}

// Copies exactly the declared length, so that the stream holds the thumbnail and nothing
// that follows it in the reply.
inline size_t ExifWalker::CopyThumbnail(const uint8_t* data, size_t size) {
  if (thumbnail_length_ == 0) {
    result_ = WalkResult::kDone;
    return 0;
  }
  size_t copied = size_t(std::min<uint64_t>(thumbnail_length_, size));
  Absorb(data, copied);
  thumbnail_->Write(data, copied);
  position_ += copied;
  thumbnail_length_ -= uint32_t(copied);
  if (thumbnail_length_ == 0) result_ = WalkResult::kDone;
  return copied;
}

// Called with the current field complete; `byte` is its last byte.
inline WalkResult ExifWalker::Handle(uint8_t byte) {
  switch (phase_) {
    case Phase::kStartOfImage:
      if (Low16() != 0xFFD8) return WalkResult::kFailed;
      phase_ = Phase::kApp1Marker;
      Clear();
      return WalkResult::kMore;
    case Phase::kApp1Marker:
      return HandleMarker();
    case Phase::kExifIdentifier:
      if (byte != kIdentifier[field_bytes_ - 1]) return WalkResult::kFailed;
      if (field_bytes_ == sizeof kIdentifier) {
        phase_ = Phase::kTiffHeader;
        Clear();
      }
      return WalkResult::kMore;
    case Phase::kTiffHeader:
      // The header's own directory offset is not consulted: the first directory follows it.
      position_ = 0;
      skip_ = 7;
      phase_ = Phase::kEntryCount;
      Clear();
      return WalkResult::kMore;
    case Phase::kEntryCount:
      entries_left_ = LittleEndian16();
      Clear();
      // An empty directory has nothing but its link.
      phase_ = entries_left_ == 0 ? Phase::kDirectoryLink : Phase::kEntry;
      return WalkResult::kMore;
    case Phase::kEntry:
      HandleEntry();
      return WalkResult::kMore;
    case Phase::kDirectoryLink: {
      uint32_t link = LittleEndian32();
      Clear();
      FollowLink(link);
      return WalkResult::kMore;
    }
    case Phase::kThumbnail:  // copied, never handled
    case Phase::kFinished:
      break;
  }
  return WalkResult::kFailed;
}

inline WalkResult ExifWalker::HandleMarker() {
  if (field_bytes_ == 2) {
    if (Low16() == 0xFFE1) {
      Clear();
      skip_ = 2;  // the segment length: the walk needs no end
      phase_ = Phase::kExifIdentifier;
      return WalkResult::kMore;
    }
    return IsPassableMarker(Low16()) ? WalkResult::kMore : WalkResult::kFailed;
  }
  uint32_t segment = Low16();  // big-endian, counting its own two bytes
  if (segment < 2) return WalkResult::kFailed;
  Clear();
  skip_ = segment - 2;
  return WalkResult::kMore;
}

inline void ExifWalker::HandleEntry() {
  uint32_t value = kEntryFieldSizes[entry_field_] == 2 ? LittleEndian16() : LittleEndian32();
  Clear();
  switch (entry_field_++) {
    case 0:
      tag_ = uint16_t(value);
      return;
    case 1:
      type_ = uint16_t(value);
      return;
    case 2:
      count_ = value;
      return;
  }
  EndEntry(value);
}

inline void ExifWalker::EndEntry(uint32_t value) {
  UseEntry(value);
  entry_field_ = 0;
  if (--entries_left_ == 0) phase_ = Phase::kDirectoryLink;
}

inline void ExifWalker::UseEntry(uint32_t value) {
  bool one_long = type_ == kLong && count_ == 1;
  // A SHORT sits in the first two bytes of the value field; the other two are padding.
  bool one_short = type_ == kShort && count_ == 1;
  uint32_t short_value = value & 0xFFFF;
  switch (tag_) {
    case kOrientation:
      if (one_short) picture_->set_Orientation(short_value);
      break;
    case kFlash:
      if (one_short) picture_->set_Flash(short_value);
      break;
    case kImageWidth:
      if (one_short) picture_->set_XRes(short_value);
      break;
    case kImageLength:
      if (one_short) picture_->set_YRes(short_value);
      break;
    case kExifOffset:
      if (one_long) exif_offset_ = value;
      break;
    case kInteroperabilityOffset:
      if (one_long) interoperability_offset_ = value;
      break;
    case kMakerNote:
      if (type_ == kUndefined) maker_note_offset_ = value;
      break;
    case kThumbnailOffset:
      if (one_long) thumbnail_offset_ = value;
      break;
    case kThumbnailLength:
      // The thumbnail lies inside the EXIF segment: a longer one is a broken entry.
      if (one_long && value <= kMaxSegmentLength) thumbnail_length_ = value;
      break;
  }
}

// The walk only moves forward, so the pending targets are taken in the order in which a
// camera lays them out.
inline void ExifWalker::FollowLink(uint32_t link) {
  if (maker_note_offset_ != 0) {
    GoTo(std::exchange(maker_note_offset_, 0), Phase::kEntryCount);
  } else if (interoperability_offset_ != 0) {
    GoTo(std::exchange(interoperability_offset_, 0), Phase::kEntryCount);
  } else if (exif_offset_ != 0) {
    next_directory_ = link;
    GoTo(std::exchange(exif_offset_, 0), Phase::kEntryCount);
  } else if (next_directory_ != 0) {
    GoTo(std::exchange(next_directory_, 0), Phase::kEntryCount);
  } else if (thumbnail_offset_ != 0) {
    GoTo(std::exchange(thumbnail_offset_, 0), Phase::kThumbnail);
  } else {
    phase_ = Phase::kFinished;
  }
}

inline void ExifWalker::GoTo(uint64_t target, Phase phase) {
  phase_ = phase;
  skip_ = target > position_ ? target - position_ - 1 : kUnreachable;
}

inline uint32_t ExifWalker::Low16() const {
  return accumulator_ & 0xFFFF;
}

inline uint16_t ExifWalker::LittleEndian16() const {
  return uint16_t((accumulator_ & 0xFF) << 8 | (accumulator_ >> 8 & 0xFF));
}

inline uint32_t ExifWalker::LittleEndian32() const {
  return __builtin_bswap32(accumulator_);
}

inline void ExifWalker::Clear() {
  accumulator_ = 0;
  field_bytes_ = 0;
}

}  // namespace exif
