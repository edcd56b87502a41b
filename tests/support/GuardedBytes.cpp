#include "tests/support/GuardedBytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace testsupport {

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

}  // namespace testsupport
