// The files of a listing as the rows the user sees: every file is a row of its own, except a
// thumbnail file or sound note that belongs to a main file of its folder with the same base
// name, which goes with that file instead.
#pragma once

#include <string>
#include <vector>

#include "app/FileKind.h"

struct ixus_direntry;

struct CardFile {
  const ixus_direntry* entry = nullptr;  // in the listing the rows were made of
  std::string path;                      // on the camera
  FileKind kind = FileKind::kOther;
};

struct CardRow {
  CardFile main;
  std::vector<CardFile> companions;  // in listing order
};

// The rows in the listing order of their main files. A ".THM" belongs to a raw picture or
// movie, a ".WAV" to a picture or raw picture.
std::vector<CardRow> ixus_cardrows(const ixus_direntry* first);
