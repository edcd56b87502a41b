#include "camera/CardRows.h"

#include <cctype>
#include <unordered_map>

#include "camera/CameraPath.h"
#include "camera/ixus_dir.h"

namespace {

// The folder and the base name in capitals: what a companion and its main file share.
std::string PairKey(const std::string& path) {
  std::string key = path.substr(0, path.rfind('.'));
  for (char& c : key) c = char(toupper(static_cast<unsigned char>(c)));
  return key;
}

bool Owns(FileKind main, FileKind companion) {
  switch (companion) {
    case FileKind::kThumbnail:
      return main == FileKind::kRaw || main == FileKind::kMovie;
    case FileKind::kSound:
      return main == FileKind::kPicture || main == FileKind::kRaw;
    default:
      return false;
  }
}

}  // namespace

std::vector<CardRow> ixus_cardrows(const ixus_direntry* first) {
  std::vector<CardFile> files;
  ixus_walkfiles(first, [&](const ixus_direntry* entry, const char* path) {
    files.push_back({entry, path, KindOf(entry->name)});
  });
  // A listing can hold thousands of files: each finds its partners by key, not by search.
  std::vector<std::string> keys;
  std::unordered_map<std::string, std::vector<size_t>> by_key;
  for (size_t i = 0; i < files.size(); i++) {
    keys.push_back(PairKey(files[i].path));
    by_key[keys[i]].push_back(i);
  }
  // The main file each file goes with: its own index when it stands alone.
  std::vector<size_t> owner(files.size());
  for (size_t i = 0; i < files.size(); i++) {
    owner[i] = i;
    for (size_t j : by_key[keys[i]]) {
      if (!Owns(files[j].kind, files[i].kind)) continue;
      owner[i] = j;
      break;
    }
  }
  std::vector<CardRow> rows;
  std::vector<size_t> row_of(files.size());
  for (size_t i = 0; i < files.size(); i++) {
    if (owner[i] != i) continue;
    row_of[i] = rows.size();
    rows.push_back({files[i], {}});
  }
  for (size_t i = 0; i < files.size(); i++)
    if (owner[i] != i) rows[row_of[owner[i]]].companions.push_back(files[i]);
  return rows;
}
