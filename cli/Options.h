// The command line as the program was given it.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/FileKind.h"

struct CliOptions {
  bool help = false;
  bool version = false;
  bool demo = false;
  std::string demo_folder;  // empty: the generated pictures
  std::string command;      // list, get, mark, delete, info, owner, upload, wait, clock
  bool only_new = false;
  bool json = false;
  bool skip_existing = false;
  bool delete_after = false;  // get --delete: each picture safe on disk leaves the camera
  bool set = false;           // clock: set it to the computer's local time first
  std::string into;           // get: a folder or strftime pattern; empty: the current folder
  std::set<FileKind> kinds;   // get --kind: the rows' kinds to download; empty: every kind
  std::string mark;           // mark: downloaded, new, protected or unprotected
  std::vector<std::string> operands;  // names, the owner name or the file to upload
};

// Reads the arguments (without the program's name): false with the reason on a usage error.
bool ParseOptions(const std::vector<std::string>& arguments, CliOptions* options,
                  std::string* error);

extern const char kUsage[];
