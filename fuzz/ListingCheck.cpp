#include "fuzz/ListingCheck.h"

#include <cstdlib>
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
  CameraPath path;
  for (const ixus_direntry* entry = first; entry != nullptr; entry = entry->next) {
    if (entry->parent != nullptr) {
      bool earlier = false;
      for (const ixus_direntry* before : seen) earlier |= before == entry->parent;
      if (!earlier || !OpensFolder(entry->parent)) abort();
    }
    seen.push_back(entry);
    path.Follow(entry->name);
    if (!CameraPath::IsPicture(entry->name)) continue;
    path.EnterFile(entry->name);
    path.LeaveFile();
  }
}

}  // namespace fuzzsupport
