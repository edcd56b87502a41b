// Listing bytes from anywhere: the parser must neither read past them nor build a list
// whose folder links point anywhere but back to earlier folders, and walking the list into
// camera paths must hold up too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "camera/ixus_dir.h"
#include "fuzz/ListingCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size, so that any read past it is caught.
  std::vector<unsigned char> bytes(data, data + size);
  ixus_direntry* first = ixus_parsedir(bytes.data(), bytes.size());
  fuzzsupport::CheckListing(first);
  ixus_freedir(first);
  return 0;
}
