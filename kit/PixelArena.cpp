#include "kit/PixelArena.h"

#include <sys/mman.h>
#include <unistd.h>

#include <mutex>
#include <new>

namespace kit {

namespace {

constexpr size_t kChunk = size_t(2) << 20;
// A bitmap larger than this gets a mapping of its own, so that a chunk is never left mostly
// unused for want of room at its end.
constexpr size_t kLargest = kChunk / 4;
constexpr size_t kAlignment = 64;

// One anonymous mapping, zero until written, its pages present; unmapped when destroyed.
class Mapping {
 public:
  explicit Mapping(size_t length) : length_(length) {
    void* start =
        mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) throw std::bad_alloc();
    bytes_ = static_cast<uint8_t*>(start);
    // Older kernels refuse the advice; the pages then come one fault at a time.
    madvise(bytes_, length_, MADV_POPULATE_WRITE);
  }
  ~Mapping() { munmap(bytes_, length_); }
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;

  uint8_t* Bytes() const { return bytes_; }

 private:
  uint8_t* bytes_;
  size_t length_;
};

// The chunk small bitmaps are being cut from, shared by every thread that makes bitmaps.
struct Arena {
  std::mutex lock;
  std::shared_ptr<Mapping> chunk;
  size_t used = 0;
};

}  // namespace

std::shared_ptr<uint8_t[]> PixelMemory(size_t length) {
  if (kPixelsFromHeap) {
    return std::shared_ptr<uint8_t[]>(
        new (std::align_val_t(kAlignment)) uint8_t[length](),
        [](uint8_t* bytes) { ::operator delete[](bytes, std::align_val_t(kAlignment)); });
  }
  static const size_t page = size_t(sysconf(_SC_PAGESIZE));
  length = (length + kAlignment - 1) & ~(kAlignment - 1);
  if (length > kLargest) {
    auto own = std::make_shared<Mapping>((length + page - 1) & ~(page - 1));
    return std::shared_ptr<uint8_t[]>(own, own->Bytes());
  }
  // Never destroyed: a thread may still make a bitmap while the program's statics go.
  static Arena& arena = *new Arena;
  std::lock_guard<std::mutex> hold(arena.lock);
  if (arena.chunk == nullptr || arena.used + length > kChunk) {
    arena.chunk = std::make_shared<Mapping>(kChunk);
    arena.used = 0;
  }
  uint8_t* bytes = arena.chunk->Bytes() + arena.used;
  arena.used += length;
  return std::shared_ptr<uint8_t[]>(arena.chunk, bytes);
}

}  // namespace kit
