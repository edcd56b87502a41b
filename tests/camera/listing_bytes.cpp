#include "tests/camera/listing_bytes.h"

#include <cstdlib>
#include <cstring>

#include "kit/Bytes.h"

namespace listing_test {

using kit::AppendLittle32;

std::vector<uint8_t> EncodeListing(const std::vector<Entry>& entries, bool terminated) {
  std::vector<uint8_t> out;
  std::vector<Entry> all = entries;
  if (terminated) all.push_back(Entry{});
  for (const Entry& entry : all) {
    out.push_back(entry.attributes);
    out.push_back(0);
    AppendLittle32(out, entry.size);
    AppendLittle32(out, entry.date);
    out.insert(out.end(), entry.name.begin(), entry.name.end());
    out.push_back(0);
  }
  return out;
}

std::vector<Entry> ExampleTree() {
  return {{0x00, 0, 0, "D:"},
          {0x10, 0, 1000000000, ".\\DCIM"},
          {0x10, 0, 1000000000, ".\\112CANON"},
          {0x21, 123456, 1000000000, "IMG_1205.JPG"},
          {0x00, 0, 0, ".."},
          {0x00, 0, 0, ".."}};
}

}  // namespace listing_test
