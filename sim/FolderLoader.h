// Real pictures from a folder as the simulated camera's files.
#pragma once

#include <string>
#include <vector>

#include "sim/CameraContent.h"

namespace sim {

// Whether the name is one a camera could have written: an upper-case 8.3 name ending
// in ".JPG".
bool IsCameraName(const std::string& name);

// The camera name for each source name (given in name order): camera names are kept,
// the others become IMG_0001.JPG, IMG_0002.JPG... in that order, skipping numbers that a
// kept name already uses. Empty text for a name beyond IMG_9999.JPG.
std::vector<std::string> CameraNames(const std::vector<std::string>& sorted_names);

// The *.jpg and *.JPG files of the folder as new pictures, ordered by camera name; each
// dated by its EXIF DateTimeOriginal (UTC), else by its modification time. Files that
// cannot be read are left out.
std::vector<CameraFile> LoadPictureFolder(const std::string& folder);

}  // namespace sim
