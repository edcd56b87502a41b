// Turning the bytes of a listing reply into the entry list, with the diagnostic print of
// every entry read.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "camera/ixus_command.h"
#include "camera/ixus_dir.h"

namespace {

// Attribute byte, one byte not interpreted, size, date; the name follows.
constexpr unsigned long kEntryHeaderSize = 10;

bool IsDrive(const char* name) {
  return name[0] != '\0' && name[1] == ':';
}
bool OpensFolder(const char* name) {
  return name[0] == '.' && name[1] == '\\';
}
bool ClosesFolder(const char* name) {
  return name[0] == '.' && name[1] == '.';
}

void PrintEntry(const char* name, uint32_t size, uint32_t date, uint8_t attributes) {
  char when[32] = "\n";
  if (date != 0) {
    time_t seconds = time_t(date);
    struct tm utc;
    gmtime_r(&seconds, &utc);
    asctime_r(&utc, when);
  }
  fprintf(stderr, "%-13s %12ld [%c%c%c%c] %26s", name, long(size), attributes & 0x01 ? 'P' : '-',
          attributes & 0x10 ? 'S' : '-', attributes & 0x20 ? '-' : 'D',
          attributes & 0x80 ? 'R' : '-', when);
}

ixus_direntry* NewEntry(const char* name, size_t length, uint32_t size, uint32_t date,
                        uint8_t attributes, ixus_direntry* parent) {
  // The name lives in the same allocation, past the end of the record; `name[1]` already
  // holds room for its terminator.
  auto* entry = static_cast<ixus_direntry*>(malloc(sizeof(ixus_direntry) + length));
  if (entry == nullptr) return nullptr;
  entry->next = nullptr;
  entry->parent = parent;
  entry->size = size;
  entry->date = date;
  entry->attributes = attributes;
  memcpy(entry->name, name, length);
  entry->name[length] = '\0';
  return entry;
}

}  // namespace

ixus_direntry* ixus_parsedir(unsigned char* data, unsigned long length) {
  fputs("DIRECTORY LISTING:\n", stderr);
  ixus_direntry* first = nullptr;
  ixus_direntry** tail = &first;
  ixus_direntry* folder = nullptr;
  unsigned long position = 0;
  // An entry is taken only when its header and its terminated name lie within the data.
  while (length - position >= kEntryHeaderSize + 1) {
    const unsigned char* entry = data + position;
    const char* name = reinterpret_cast<const char*>(entry + kEntryHeaderSize);
    const void* end = memchr(name, '\0', length - position - kEntryHeaderSize);
    if (end == nullptr) break;
    size_t name_length = size_t(static_cast<const char*>(end) - name);
    uint8_t attributes = entry[0];
    uint32_t size = ixus_le32(entry + 2);
    uint32_t date = ixus_le32(entry + 6);
    bool last = attributes == 0 && size == 0 && date == 0 && name_length == 0;

    if (!last) {
      ixus_direntry* made = NewEntry(name, name_length, size, date, attributes, folder);
      if (made == nullptr) {
        fputs("parsedir: could not malloc direntry.\n", stderr);
      } else {
        *tail = made;
        tail = &made->next;
        if (size == 0 && (OpensFolder(name) || IsDrive(name))) folder = made;
        if (size == 0 && ClosesFolder(name) && folder != nullptr) folder = folder->parent;
      }
    }
    PrintEntry(name, size, date, attributes);
    if (last) break;
    position += kEntryHeaderSize + name_length + 1;
  }
  return first;
}

void ixus_freedir(ixus_direntry* first) {
  while (first != nullptr) {
    ixus_direntry* next = first->next;
    free(first);
    first = next;
  }
}
