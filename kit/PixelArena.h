// Memory for bitmaps. A camera's list holds a thousand thumbnails of 77 KB each, made one
// after another and dropped together; asking the kernel for each one's pages, and taking
// them one fault at a time, costs as much as decoding it. Small bitmaps are therefore cut
// from 2 MiB chunks whose pages are made present in one call, and a chunk goes back to the
// kernel when the last bitmap cut from it goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kit {

// `length` bytes, all zero and present, 64-byte aligned;
// held as long as the pointer or a copy of it lives. Throws std::bad_alloc when the system has no
// memory to give.
std::shared_ptr<uint8_t[]> PixelMemory(size_t length);

}  // namespace kit
