// The one-pass walk over the bytes of a thumbnail reply: a state machine fed piece by
// piece, which never holds more than the field it is reading.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kit/ByteStream.h"

class pic_Item;

namespace exif {

enum class WalkResult {
  kMore,    // give me the next piece
  kDone,    // the walk ended well; the rest of the reply is of no interest
  kFailed,  // the reply is not what a thumbnail reply must be
};

class ExifWalker {
 public:
  // The thumbnail stream grows only by the bytes that arrive, whatever the entries claim.
  ExifWalker(kit::ByteStream* thumbnail, pic_Item* picture);

  // Walks the next `size` bytes of the reply. After kDone or kFailed the walker takes no
  // more bytes.
  WalkResult Feed(const uint8_t* data, size_t size);
  // Whether every directory has been visited: bytes after that fail a thumbnail reply, but a
  // whole file goes on with its own image.
  bool Walked() const { return phase_ == Phase::kFinished; }

 private:
  enum class Phase {
    kStartOfImage,
    kApp1Marker,
    kExifIdentifier,
    kTiffHeader,
    kEntryCount,
    kEntry,
    kDirectoryLink,
    kThumbnail,
    kFinished,
  };

  // Each takes bytes from the front of a piece and returns how many it took.
  size_t TakeField(const uint8_t* data, size_t size);
  size_t TakeEntry(const uint8_t* data);
  size_t Skip(const uint8_t* data, size_t size);
  size_t CopyThumbnail(const uint8_t* data, size_t size);

  // Bytes of the field the current phase reads next.
  uint32_t FieldSize() const;

  void Absorb(const uint8_t* data, size_t size);
  WalkResult Handle(uint8_t byte);
  WalkResult HandleMarker();
  void HandleEntry();
  void EndEntry(uint32_t value);
  void UseEntry(uint32_t value);
  void FollowLink(uint32_t link);
  void GoTo(uint64_t target, Phase phase);
  uint32_t Low16() const;
  uint16_t LittleEndian16() const;
  uint32_t LittleEndian32() const;
  void Clear();

  kit::ByteStream* thumbnail_;
  pic_Item* picture_;
  Phase phase_ = Phase::kStartOfImage;
  WalkResult result_ = WalkResult::kMore;
  uint32_t accumulator_ = 0;
  uint32_t field_bytes_ = 0;
  uint64_t skip_ = 0;
  uint64_t position_ = 0;
  uint16_t entries_left_ = 0;
  int entry_field_ = 0;  // which of tag, type, count, value is arriving

  uint16_t tag_ = 0;
  uint16_t type_ = 0;
  uint32_t count_ = 0;

  uint32_t exif_offset_ = 0;
  uint32_t maker_note_offset_ = 0;
  uint32_t interoperability_offset_ = 0;
  uint32_t next_directory_ = 0;
  uint32_t thumbnail_offset_ = 0;
  uint32_t thumbnail_length_ = 0;
};

}  // namespace exif
