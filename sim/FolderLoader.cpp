#include "sim/FolderLoader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

#include "kit/ExifDate.h"

namespace sim {

namespace {

bool IsCameraNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("_-~!#$%&'()@^`{}").find(c) != std::string_view::npos;
}

bool IsJpegName(const std::string& name) {
  return name.size() > 4 && (name.ends_with(".jpg") || name.ends_with(".JPG"));
}

bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

uint32_t ModificationTime(const std::filesystem::path& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || info.st_mtime < 0) return 0;
  return uint32_t(std::min<int64_t>(info.st_mtime, UINT32_MAX));
}

}  // namespace

bool IsCameraName(const std::string& name) {
  size_t dot = name.find('.');
  if (dot == std::string::npos || name.find('.', dot + 1) != std::string::npos) return false;
  size_t extension = name.size() - dot - 1;
  return dot >= 1 && dot <= 8 && extension >= 1 && extension <= 3 &&
         std::all_of(name.begin(), name.begin() + dot, IsCameraNameCharacter) &&
         std::all_of(name.begin() + dot + 1, name.end(), IsCameraNameCharacter);
}

std::vector<std::string> CameraNames(const std::vector<std::string>& sorted_names) {
  std::set<std::string> kept;
  for (const std::string& name : sorted_names)
    if (IsCameraName(name)) kept.insert(name);
  std::vector<std::string> names;
  int number = 0;
  for (const std::string& name : sorted_names) {
    if (IsCameraName(name)) {
      names.push_back(name);
      continue;
    }
    std::string made;
    do {
      if (++number > 9999) break;
      char text[24];
      std::snprintf(text, sizeof text, "IMG_%04d.JPG", number);
      made = text;
    } while (kept.count(made) != 0);
    names.push_back(number > 9999 ? std::string() : made);
  }
  return names;
}

std::vector<CameraFile> LoadCardFolder(const std::string& folder) {
  std::vector<std::string> sources, others;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (!entry.is_regular_file(error)) continue;
    if (IsJpegName(name))
      sources.push_back(name);
    else if (IsCameraName(name) && entry.file_size(error) <= UINT32_MAX && !error)
      others.push_back(name);
  }
  std::sort(sources.begin(), sources.end());
  std::vector<std::string> names = CameraNames(sources);
  std::vector<CameraFile> files;
  for (size_t i = 0; i < sources.size(); ++i) {
    std::filesystem::path path = std::filesystem::path(folder) / sources[i];
    CameraFile file;
    if (names[i].empty() || !ReadFile(path, &file.bytes)) continue;
    file.name = names[i];
    file.attributes = kAttributeNew;
    file.date = kit::DateTimeOriginal(file.bytes).value_or(ModificationTime(path));
    files.push_back(std::move(file));
  }
  for (const std::string& name : others) {
    std::filesystem::path path = std::filesystem::path(folder) / name;
    CameraFile file;
    if (!ReadFile(path, &file.bytes) || file.bytes.size() > UINT32_MAX) continue;
    file.name = name;
    file.attributes = kAttributeNew;
    std::optional<uint32_t> taken;
    if (name.ends_with(".THM")) taken = kit::DateTimeOriginal(file.bytes);
    file.date = taken.value_or(ModificationTime(path));
    files.push_back(std::move(file));
  }
  std::sort(files.begin(), files.end(),
            [](const CameraFile& a, const CameraFile& b) { return a.name < b.name; });
  return files;
}

}  // namespace sim
