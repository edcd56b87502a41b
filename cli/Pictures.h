// The camera's pictures as the commands see them: copies of the list's records, read under
// its lock, and the pictures a command's names pick out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/pic_Item.h"

class PictureList;

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

  bool New() const { return (attributes & pic_Item::kNew) != 0; }
  bool Protected() const { return (attributes & pic_Item::kProtected) != 0; }
};

// In list order: newest first.
std::vector<Picture> ReadPictures(PictureList& list);
std::vector<Picture> NewOnly(const std::vector<Picture>& pictures);
// The pictures each name gives, by 8.3 name or camera path in either case, in list order;
// the names that give none go to `unknown`.
std::vector<Picture> Named(const std::vector<Picture>& pictures,
                           const std::vector<std::string>& names,
                           std::vector<std::string>* unknown);
// Makes these pictures the list's whole selection.
void SelectOnly(PictureList& list, const std::vector<Picture>& pictures);
