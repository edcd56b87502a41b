#include "tests/camera/listing_bytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace listing_test {

namespace {
void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; i++) out.push_back(uint8_t(value >> (8 * i)));
}
}  // namespace

std::vector<uint8_t> EncodeListing(const std::vector<Entry>& entries, bool terminated) {
  std::vector<uint8_t> out;
  std::vector<Entry> all = entries;
  if (terminated) all.push_back(Entry{});
  for (const Entry& entry : all) {
    out.push_back(entry.attributes);
    out.push_back(0);
    PutLe32(out, entry.size);
    PutLe32(out, entry.date);
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

GuardedBytes::GuardedBytes(const std::vector<uint8_t>& bytes) {
  size_t page = size_t(sysconf(_SC_PAGESIZE));
  size_t pages = (bytes.size() + page - 1) / page + 1;
  mapped_ = pages * page;
  mapping_ = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED) abort();
  auto* base = static_cast<unsigned char*>(mapping_);
  mprotect(base + mapped_ - page, page, PROT_NONE);
  data_ = base + mapped_ - page - bytes.size();
  if (!bytes.empty()) memcpy(data_, bytes.data(), bytes.size());
}

GuardedBytes::~GuardedBytes() {
  munmap(mapping_, mapped_);
}

}  // namespace listing_test
