#include "sim/CameraContent.h"

#include "sim/Bytes.h"

namespace sim {

namespace {

// FAT's directory attribute, which a camera gives its drive and folder entries.
constexpr uint8_t kAttributeDirectory = 0x10;

void AppendEntry(std::vector<uint8_t>& bytes, uint8_t attributes, uint32_t size, uint32_t date,
                 const std::string& name) {
  bytes.push_back(attributes);
  bytes.push_back(0);
  AppendLittle32(bytes, size);
  AppendLittle32(bytes, date);
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.push_back(0);
}

}  // namespace

std::vector<uint8_t> CameraContent::Listing() const {
  std::vector<uint8_t> bytes;
  AppendEntry(bytes, kAttributeDirectory, 0, 0, drive);
  AppendEntry(bytes, kAttributeDirectory, 0, 0, ".\\DCIM");
  for (const CameraFolder& folder : folders) {
    AppendEntry(bytes, kAttributeDirectory, 0, 0, ".\\" + folder.name);
    for (const CameraFile& file : folder.files)
      AppendEntry(bytes, file.attributes, uint32_t(file.bytes.size()), file.date, file.name);
    AppendEntry(bytes, kAttributeDirectory, 0, 0, "..");
  }
  AppendEntry(bytes, kAttributeDirectory, 0, 0, "..");
  AppendEntry(bytes, 0, 0, 0, "");
  return bytes;
}

std::string CameraContent::PathOf(const CameraFolder& folder, const CameraFile& file) const {
  return drive + "\\DCIM\\" + folder.name + "\\" + file.name;
}

const CameraFile* CameraContent::Find(const std::string& path) const {
  for (const CameraFolder& folder : folders)
    for (const CameraFile& file : folder.files)
      if (PathOf(folder, file) == path) return &file;
  return nullptr;
}

CameraFolder& CameraContent::Folder(const std::string& name) {
  for (CameraFolder& folder : folders)
    if (folder.name == name) return folder;
  folders.push_back({name, {}});
  return folders.back();
}

}  // namespace sim
