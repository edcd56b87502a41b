#include "fuzz/ListingCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "camera/CameraPath.h"
#include "camera/ixus_dir.h"

namespace fuzzsupport {

namespace {

bool OpensFolder(const ixus_direntry* entry) {
  const char* name = entry->name;
  return entry->size == 0 && ((name[0] == '.' && name[1] == '\\') || (name[0] && name[1] == ':'));
}

}  // namespace

void CheckListing(const ixus_direntry* first) {
  std::vector<const ixus_direntry*> seen;
  for (const ixus_direntry* entry = first; entry != nullptr; entry = entry->next) {
    if (entry->parent != nullptr) {
      bool earlier = false;
      for (const ixus_direntry* before : seen) earlier |= before == entry->parent;
      if (!earlier || !OpensFolder(entry->parent)) abort();
    }
    seen.push_back(entry);
  }
  // Every file's path is one the camera can take, and its last part a plain file name.
  ixus_walkfiles(first, [](const ixus_direntry* entry, const char* path) {
    const char* last = strrchr(path, '\\');
    if (strlen(path) > CameraPath::kMaxLength || last == nullptr ||
        strcmp(last + 1, entry->name) != 0)
      abort();
  });
}

}  // namespace fuzzsupport
