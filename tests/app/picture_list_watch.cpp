#include "tests/app/picture_list_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

constexpr int kSlots = 64;
std::atomic<const void*> watched[kSlots];

// Runs inside operator delete, so it must not allocate.
void NoteFree(const void* object) {
  if (!object) return;
  for (auto& slot : watched) {
    const void* expected = object;
    slot.compare_exchange_strong(expected, nullptr);
  }
}

}  // namespace

namespace watch {

void Watch(const void* object) {
  for (auto& slot : watched) {
    const void* empty = nullptr;
    if (slot.compare_exchange_strong(empty, object)) return;
  }
  std::abort();  // more watched at once than the suite needs
}

bool Freed(const void* object) {
  for (const auto& slot : watched) {
    if (slot.load() == object) return false;
  }
  return true;
}

}  // namespace watch

void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  NoteFree(memory);
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  NoteFree(memory);
  std::free(memory);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
  NoteFree(memory);
  std::free(memory);
}
