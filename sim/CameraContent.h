// What the simulated camera holds: its drive, the folders below DCIM with their files,
// and what it knows about itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

constexpr uint8_t kAttributeProtected = 0x01;
constexpr uint8_t kAttributeNew = 0x20;

struct CameraFile {
  std::string name;  // 8.3, as the camera lists it
  uint8_t attributes = kAttributeNew;
  uint32_t date = 0;  // seconds since 1970
  std::vector<uint8_t> bytes;
};

struct CameraFolder {
  std::string name;  // e.g. "100CANON"
  std::vector<CameraFile> files;
};

struct CameraInfo {
  std::string model = "Canon DIGITAL IXUS";
  std::string owner;  // Latin-1 bytes, as the camera keeps it
  uint32_t disk_total = 8 * 1024 * 1024;
  uint32_t disk_free = 4 * 1024 * 1024;
  bool power_critical = false;
  bool on_adaptor = false;
};

struct CameraContent {
  std::string drive = "D:";
  std::vector<CameraFolder> folders;  // below DCIM, in the order the camera lists them
  CameraInfo info;

  // The listing data in the order a camera writes it: the drive, ".\DCIM", each folder
  // (".\NAME", its files, ".."), "..", and the end entry.
  std::vector<uint8_t> Listing() const;
  // "D:\DCIM\100CANON\IMG_0001.JPG" style paths; none when nothing lives there.
  const CameraFile* Find(const std::string& path) const;
  std::string PathOf(const CameraFolder& folder, const CameraFile& file) const;
  // The folder of that name, appended when missing.
  CameraFolder& Folder(const std::string& name);
};

}  // namespace sim
