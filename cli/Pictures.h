// The camera's pictures as the commands see them: copies of the list's records, read under
// its lock, and the pictures a command's names pick out.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/pic_Item.h"

class PictureList;

// A file that a row's download writes besides its main file.
struct CompanionFile {
  std::string path;  // on the camera
  std::string name;  // its 8.3 name
  uint32_t size = 0;
};

struct Picture {
  PictureId id = 0;
  std::string path;  // on the camera
  std::string name;  // its 8.3 name
  uint32_t size = 0;
  uint32_t date = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t attributes = 0;
  uint32_t orientation = 0;
  FileKind kind = FileKind::kPicture;
  uint32_t taken = 0;       // the row's TakenDate
  uint64_t total_size = 0;  // the main file and its companions
  std::vector<CompanionFile> companions;

  bool New() const { return (attributes & pic_Item::kNew) != 0; }
  bool Protected() const { return (attributes & pic_Item::kProtected) != 0; }
};

// A name given on the command line that gives a row only as one of its companions, and the
// name of that row's main file.
using CompanionName = std::pair<std::string, std::string>;

// In list order: newest first.
std::vector<Picture> ReadPictures(PictureList& list);
// The pictures that are new when `only_new`, and of one of `kinds` unless that is empty.
std::vector<Picture> Kept(const std::vector<Picture>& pictures, bool only_new,
                          const std::set<FileKind>& kinds);
// The pictures each name gives, by the 8.3 name or camera path of the main file or of a
// companion, in either case, in list order; the names that give none go to `unknown`. With
// `by_companion`, a row that only companions' names give is not chosen: the first such name
// goes there with the row's name.
std::vector<Picture> Named(const std::vector<Picture>& pictures,
                           const std::vector<std::string>& names, std::vector<std::string>* unknown,
                           std::vector<CompanionName>* by_companion = nullptr);
// Makes these pictures the list's whole selection.
void SelectOnly(PictureList& list, const std::vector<Picture>& pictures);
