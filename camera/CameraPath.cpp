#include "camera/CameraPath.h"

#include <cstdio>
#include <cstring>

#include "camera/ixus_dir.h"

bool CameraPath::Follow(const char* name, uint32_t size) {
  if (size != 0) return false;
  bool drive = name[0] != '\0' && name[1] == ':';
  bool opens = name[0] == '.' && name[1] == '\\';
  bool closes = name[0] == '.' && name[1] == '.';
  if (drive) {
    text_ = name;
    drive_ = text_.size();
  }
  if (opens) text_ += name + 1;
  if (closes) CutLast();
  return drive || opens || closes;
}

bool CameraPath::IsFileName(const char* name) {
  if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return false;
  for (const char* c = name; *c != '\0'; c++)
    if (*c == '\\' || *c == '/' || *c == ':' || static_cast<unsigned char>(*c) < 0x20) return false;
  return true;
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

void ixus_walkfiles(const ixus_direntry* first,
                    const std::function<void(const ixus_direntry* entry, const char* path)>& file) {
  CameraPath path;
  for (const ixus_direntry* entry = first; entry != nullptr; entry = entry->next) {
    if (path.Follow(entry->name, entry->size) || entry->name[0] == '\0') continue;
    if (!CameraPath::IsFileName(entry->name)) {
      fprintf(stderr, "Not a file name, %s not loaded.\n", entry->name);
      continue;
    }
    path.EnterFile(entry->name);
    if (path.TooLong())
      fprintf(stderr, "Camera path too long, %s not loaded.\n", entry->name);
    else
      file(entry, path.Text().c_str());
    path.LeaveFile();
  }
}
