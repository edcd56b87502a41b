// Memory for bitmaps. A camera's list holds a thousand thumbnails of 77 KB each, made one
// after another and dropped together; asking the kernel for each one's pages, and taking
// them one fault at a time, costs as much as decoding it. Small bitmaps are therefore cut
// from 2 MiB chunks whose pages are made present in one call, and a chunk goes back to the
// kernel when the last bitmap cut from it goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Under AddressSanitizer each piece comes from the heap instead, where a decoder writing past a
// bitmap's end is caught; in a chunk it would land unseen in the next bitmap.
#if defined(__SANITIZE_ADDRESS__)
#define PICTROVE_PIXELS_FROM_HEAP true
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PICTROVE_PIXELS_FROM_HEAP true
#endif
#endif
#ifndef PICTROVE_PIXELS_FROM_HEAP
#define PICTROVE_PIXELS_FROM_HEAP false
#endif

namespace kit {

inline constexpr bool kPixelsFromHeap = PICTROVE_PIXELS_FROM_HEAP;

// `length` bytes, all zero and present, 64-byte aligned; held as long as the pointer or a
// copy of it lives. Throws std::bad_alloc when the system has no memory to give.
std::shared_ptr<uint8_t[]> PixelMemory(size_t length);

}  // namespace kit
