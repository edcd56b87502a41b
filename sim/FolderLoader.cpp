#include "sim/FolderLoader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
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
  if (!name.ends_with(".JPG")) return false;
  std::string base = name.substr(0, name.size() - 4);
  return !base.empty() && base.size() <= 8 &&
         std::all_of(base.begin(), base.end(), IsCameraNameCharacter);
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

std::vector<CameraFile> LoadPictureFolder(const std::string& folder) {
  std::vector<std::string> sources;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (entry.is_regular_file(error) && IsJpegName(name)) sources.push_back(name);
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
  std::sort(files.begin(), files.end(),
            [](const CameraFile& a, const CameraFile& b) { return a.name < b.name; });
  return files;
}

}  // namespace sim
