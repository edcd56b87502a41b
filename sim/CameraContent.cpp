#include "sim/CameraContent.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

// A file's bytes become free space again; never more than the disk holds.
void GiveBack(CameraInfo& info, uint32_t bytes) {
  info.disk_free = uint32_t(std::min<uint64_t>(uint64_t(info.disk_free) + bytes, info.disk_total));
}

}  // namespace

bool IsPictureName(const std::string& name) {
  return name.size() > 4 && name.ends_with(".JPG");
}

uint32_t CameraFile::Size() const {
  return generated ? generated->size : uint32_t(bytes.size());
}

void CameraFile::Read(uint32_t offset, uint8_t* out, size_t length) const {
  if (length == 0) return;
  if (generated)
    generated->generate(offset, out, length);
  else
    std::memcpy(out, bytes.data() + offset, length);
}

std::vector<uint8_t> CameraFile::Head(size_t limit) const {
  std::vector<uint8_t> head(std::min<size_t>(limit, Size()));
  Read(0, head.data(), head.size());
  return head;
}

std::vector<uint8_t> CameraContent::Listing() const {
  std::vector<uint8_t> bytes;
  AppendEntry(bytes, kAttributeDirectory, 0, 0, drive);
  AppendEntry(bytes, kAttributeDirectory, 0, 0, ".\\DCIM");
  for (const CameraFolder& folder : folders) {
    AppendEntry(bytes, kAttributeDirectory, 0, 0, ".\\" + folder.name);
    for (const CameraFile& file : folder.files)
      AppendEntry(bytes, file.attributes, file.Size(), file.date, file.name);
    AppendEntry(bytes, kAttributeDirectory, 0, 0, "..");
  }
  AppendEntry(bytes, kAttributeDirectory, 0, 0, "..");
  AppendEntry(bytes, 0, 0, 0, "");
  return bytes;
}

std::optional<std::vector<uint8_t>> CameraContent::FolderListing(const std::string& path) const {
  std::vector<uint8_t> bytes;
  // The listed folder's own entry comes first, under its plain name.
  AppendEntry(bytes, kAttributeDirectory, 0, 0, path.substr(path.rfind('\\') + 1));
  std::string dcim = drive + "\\DCIM";
  if (path == drive) {
    AppendEntry(bytes, kAttributeDirectory, 0, 0, "DCIM");
  } else if (path == dcim) {
    for (const CameraFolder& folder : folders)
      AppendEntry(bytes, kAttributeDirectory, 0, 0, folder.name);
  } else {
    auto found = std::find_if(folders.begin(), folders.end(), [&](const CameraFolder& folder) {
      return dcim + "\\" + folder.name == path;
    });
    if (found == folders.end()) return std::nullopt;
    for (const CameraFile& file : found->files)
      AppendEntry(bytes, file.attributes, file.Size(), file.date, file.name);
  }
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

CameraFile* CameraContent::Find(const std::string& path) {
  return const_cast<CameraFile*>(std::as_const(*this).Find(path));
}

CameraFolder& CameraContent::Folder(const std::string& name) {
  for (CameraFolder& folder : folders)
    if (folder.name == name) return folder;
  folders.push_back({name, {}});
  return folders.back();
}

bool CameraContent::Remove(const std::string& path) {
  for (CameraFolder& folder : folders) {
    auto found = std::find_if(folder.files.begin(), folder.files.end(),
                              [&](const CameraFile& file) { return PathOf(folder, file) == path; });
    if (found != folder.files.end()) {
      GiveBack(info, found->Size());
      folder.files.erase(found);
      return true;
    }
  }
  return false;
}

CameraFile* CameraContent::Create(const std::string& path, uint32_t date) {
  std::string prefix = drive + "\\DCIM\\";
  if (!path.starts_with(prefix)) return nullptr;
  size_t split = path.find('\\', prefix.size());
  if (split == std::string::npos || split == prefix.size() || split + 1 == path.size() ||
      path.find('\\', split + 1) != std::string::npos)
    return nullptr;
  CameraFile fresh;
  fresh.name = path.substr(split + 1);
  fresh.date = date;
  if (CameraFile* file = Find(path)) {
    GiveBack(info, file->Size());
    *file = std::move(fresh);
    return file;
  }
  CameraFolder& folder = Folder(path.substr(prefix.size(), split - prefix.size()));
  folder.files.push_back(std::move(fresh));
  return &folder.files.back();
}

}  // namespace sim
