// Listing bytes from anywhere: the parser must neither read past them nor build a list
// whose folder links point anywhere but back to earlier folders, and walking the list into
// camera paths must hold up too.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "camera/CameraPath.h"
#include "camera/ixus_dir.h"

namespace {

bool OpensFolder(const ixus_direntry* entry) {
  const char* name = entry->name;
  return entry->size == 0 && ((name[0] == '.' && name[1] == '\\') || (name[0] && name[1] == ':'));
}

void Check(const ixus_direntry* first) {
  std::vector<const ixus_direntry*> seen;
  CameraPath path;
  for (const ixus_direntry* entry = first; entry != nullptr; entry = entry->next) {
    if (entry->parent != nullptr) {
      bool earlier = false;
      for (const ixus_direntry* before : seen) earlier |= before == entry->parent;
      if (!earlier || !OpensFolder(entry->parent)) abort();
    }
    seen.push_back(entry);
    path.Follow(entry->name, entry->size);
    if (!CameraPath::IsPicture(entry->name)) continue;
    path.EnterFile(entry->name);
    path.LeaveFile();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so that any read past it is caught.
  std::vector<unsigned char> bytes(data, data + size);
  ixus_direntry* first = ixus_parsedir(bytes.data(), bytes.size());
  Check(first);
  ixus_freedir(first);
  return 0;
}
