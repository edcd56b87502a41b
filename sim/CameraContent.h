// What the simulated camera holds: its drive, the folders below DCIM with their files,
// and what it knows about itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "models/CameraModels.h"

namespace sim {

constexpr uint8_t kAttributeProtected = 0x01;
constexpr uint8_t kAttributeNew = 0x20;

// Bytes made from their offset whenever they are read: the camera holds only the recipe,
// so that a picture far larger than the camera's memory can be served.
struct GeneratedBytes {
  uint32_t size = 0;
  // Fills `length` bytes of `out` with the bytes from `offset` on; the same every time.
  std::function<void(uint32_t offset, uint8_t* out, size_t length)> generate;
};

// Whether the name is a JPEG picture's as cameras write it: longer than 4 characters and
// ending in ".JPG" in capitals. Only such a file has a thumbnail to answer with.
bool IsPictureName(const std::string& name);

struct CameraFile {
  std::string name;  // 8.3, as the camera lists it
  uint8_t attributes = kAttributeNew;
  uint32_t date = 0;  // seconds since 1970
  std::vector<uint8_t> bytes;
  // When set, the file's bytes come from here instead and `bytes` is left empty.
  std::shared_ptr<const GeneratedBytes> generated = nullptr;

  uint32_t Size() const;
  // The `length` bytes from `offset` on; the range lies within Size().
  void Read(uint32_t offset, uint8_t* out, size_t length) const;
  // The first `limit` bytes (all of them when the file is shorter).
  std::vector<uint8_t> Head(size_t limit) const;
};

struct CameraFolder {
  std::string name;  // e.g. "100CANON"
  std::vector<CameraFile> files;
};

struct CameraInfo {
  std::string model = "Canon DIGITAL IXUS";
  models::Group group = models::Group::kFirst;
  std::string owner;  // Latin-1 bytes, as the camera keeps it
  // Free space falls with what is stored and grows with what is deleted.
  uint32_t disk_total = 8 * 1024 * 1024;
  uint32_t disk_free = 4 * 1024 * 1024;
  bool power_critical = false;
  bool on_adaptor = false;
  // The clock, which runs with real time: how far its local seconds are ahead of the
  // host's seconds since 1970 (UTC).
  int64_t clock_ahead = 0;

  int64_t ClockNow() const;
};

struct CameraContent {
  std::string drive = "D:";
  std::vector<CameraFolder> folders;  // below DCIM, in the order the camera lists them
  CameraInfo info;

  // The listing data in the order a camera writes it: the drive, ".\DCIM", each folder
  // (".\NAME", its files, ".."), "..", and the end entry.
  std::vector<uint8_t> Listing() const;
  // One level, in the same entry format: the folder's own entry, the entries directly in the
  // folder at `path` (the drive, "D:\DCIM" or one of its folders), all under their plain
  // names, then the end entry; none when no such folder exists.
  std::optional<std::vector<uint8_t>> FolderListing(const std::string& path) const;
  // "D:\DCIM\100CANON\IMG_0001.JPG" style paths; none when nothing lives there.
  const CameraFile* Find(const std::string& path) const;
  CameraFile* Find(const std::string& path);
  std::string PathOf(const CameraFolder& folder, const CameraFile& file) const;
  // The folder of that name, appended when missing.
  CameraFolder& Folder(const std::string& name);
  // Whether a file lived at the path; it is gone now, and its bytes are free space.
  bool Remove(const std::string& path);
  // A new empty file at the path (in place of one of that name, where that stood), its
  // folder made when missing; none for a path that is not the drive, DCIM, a folder and
  // a name.
  CameraFile* Create(const std::string& path, uint32_t date);
};

}  // namespace sim
