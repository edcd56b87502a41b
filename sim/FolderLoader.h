// Real files from a folder as the simulated camera's files: pictures, and every other file
// a camera could have written.
#pragma once

#include <string>
#include <vector>

#include "sim/CameraContent.h"

namespace sim {

// Whether the name is one a camera could have written: an upper-case 8.3 name, a base of
// 1 to 8 characters, a dot and an extension of 1 to 3, each of them an upper-case letter,
// a digit or one of _-~!#$%&'()@^`{}.
bool IsCameraName(const std::string& name);

// The camera name for each source name (given in name order): camera names are kept,
// the others become IMG_0001.JPG, IMG_0002.JPG... in that order, skipping numbers that a
// kept name already uses. Empty text for a name beyond IMG_9999.JPG.
std::vector<std::string> CameraNames(const std::vector<std::string>& sorted_names);

// The folder's files as the camera's new files, ordered by camera name: its *.jpg and
// *.JPG files under the names CameraNames gives them, and every other file whose name is a
// camera name (MVI_0001.AVI, CRW_0002.THM...) under that name; the rest are left out. Each
// is dated by its EXIF DateTimeOriginal (UTC) where it is a JPEG or .THM file that has one,
// else by its modification time. Files that cannot be read, and files too large for a
// camera's 32-bit sizes, are left out.
std::vector<CameraFile> LoadCardFolder(const std::string& folder);

}  // namespace sim
