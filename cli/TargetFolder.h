// Where get puts a picture: a folder, or a strftime pattern filled in with the picture's date
// by the camera's clock; a leading "~/" is the home folder.
#pragma once

#include <cstdint>
#include <string>

std::string TargetFolder(const std::string& pattern, uint32_t date);
// Makes the folder and those above it as needed: 0, or the reason it could not.
int MakeFolders(const std::string& folder);
