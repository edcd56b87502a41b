// The camera's directory listing: everything on its storage in one data reply.
#pragma once

#include <cstdint>

class USBDevice;

struct ixus_direntry {
  ixus_direntry* next;
  ixus_direntry* parent;  // the folder or drive current when the entry was read
  uint32_t size;
  uint32_t date;
  uint8_t attributes;
  char name[1];  // NUL-terminated, allocated with the entry
};

// The first entry of the listing of `path` (none: "D:"), or none.
ixus_direntry* ixus_getdir(USBDevice* device, unsigned char* buffer, const char* path);
ixus_direntry* ixus_parsedir(unsigned char* data, unsigned long length);
void ixus_freedir(ixus_direntry* first);
