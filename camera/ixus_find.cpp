#include "camera/ixus_find.h"

#include <cstring>

#include "camera/CameraPath.h"
#include "camera/ixus_dir.h"

int ixus_find(USBDevice* device, unsigned char* buffer, const char* drive, const char* path,
              unsigned char* attributes) {
  ixus_direntry* listing = ixus_getdir(device, buffer, drive);
  if (listing == nullptr) return -1;
  int found = 0;
  ixus_walkfiles(listing, [&](const ixus_direntry* entry, const char* file) {
    if (strcmp(file, path) != 0) return;
    found = 1;
    if (attributes != nullptr) *attributes = entry->attributes;
  });
  ixus_freedir(listing);
  return found;
}
