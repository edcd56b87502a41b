// Bitmap memory cut from shared chunks: each piece zero, aligned and apart from the others,
// and a chunk's pages given back exactly when its last piece goes.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "kit/PixelArena.h"

namespace {

using Piece = std::shared_ptr<uint8_t[]>;

constexpr size_t kThumbnail = 160 * 120 * 4;

bool Mapped(const uint8_t* address) {
  static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
  unsigned char present = 0;
  void* start = reinterpret_cast<void*>(uintptr_t(address) & ~(page - 1));
  return mincore(start, 1, &present) == 0 || errno != ENOMEM;
}

// Small and large pieces, each filled with its own byte: none overlaps another.
TEST(PixelArena, PiecesAreZeroAlignedAndApart) {
  const size_t lengths[] = {0,       1,          63, 64, 65, kThumbnail, 512 * 1024, 512 * 1024 + 1,
                            3 << 20, kThumbnail, 7};
  std::vector<Piece> pieces;
  for (size_t length : lengths) {
    pieces.push_back(kit::PixelMemory(length));
    const uint8_t* bytes = pieces.back().get();
    EXPECT_EQ(uintptr_t(bytes) % 64, 0u) << length;
    for (size_t i = 0; i < length; ++i) ASSERT_EQ(bytes[i], 0) << length << " at " << i;
  }
  for (size_t i = 0; i < pieces.size(); ++i) std::memset(pieces[i].get(), int(i + 1), lengths[i]);
  for (size_t i = 0; i < pieces.size(); ++i)
    for (size_t at = 0; at < lengths[i]; ++at)
      ASSERT_EQ(pieces[i][at], uint8_t(i + 1)) << "piece " << i << " overwritten at " << at;
}

TEST(PixelArena, ChunkGoesBackWithItsLastPiece) {
  if (kit::kPixelsFromHeap) GTEST_SKIP() << "pieces come from the heap under AddressSanitizer";
  // Enough thumbnails to fill more than one chunk: the first is no longer the one being cut.
  std::vector<Piece> pieces;
  for (int i = 0; i < 60; ++i) pieces.push_back(kit::PixelMemory(kThumbnail));
  // Two pieces side by side were cut from one chunk.
  size_t i = 0;
  while (pieces[i + 1].get() != pieces[i].get() + kThumbnail) ++i;
  const uint8_t* first = pieces[i].get();
  Piece kept = pieces[i + 1];
  pieces.clear();
  EXPECT_TRUE(Mapped(first)) << "a chunk went back while a piece of it lives";
  kept.reset();
  EXPECT_FALSE(Mapped(first)) << "a chunk outlived its last piece";
}

}  // namespace
