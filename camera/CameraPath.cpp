#include "camera/CameraPath.h"

#include <cstring>

void CameraPath::Follow(const char* name) {
  if (name[0] != '\0' && name[1] == ':') {
    text_ = name;
    drive_ = text_.size();
  }
  if (name[0] == '.' && name[1] == '\\') text_ += name + 1;
  if (name[0] == '.' && name[1] == '.') CutLast();
}

bool CameraPath::IsPicture(const char* name) {
  size_t length = strlen(name);
  return length > 4 && strcmp(name + length - 4, ".JPG") == 0;
}

void CameraPath::EnterFile(const char* name) {
  text_ += '\\';
  text_ += name;
}

void CameraPath::CutLast() {
  size_t backslash = text_.rfind('\\');
  // ".." at the top stays on the drive.
  if (backslash == std::string::npos || backslash < drive_) return;
  text_.resize(backslash);
}
