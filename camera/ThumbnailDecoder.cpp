#include "camera/ThumbnailDecoder.h"

#include <turbojpeg.h>

#include <memory>

namespace {

struct HandleCloser {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A listing decodes a thousand thumbnails in a row: the decoder and the bitmap that turned
// ones pass through are made once.
struct Decoder {
  Handle handle{tjInitDecompress()};
  std::unique_ptr<kit::Bitmap> upright_first;

  kit::Bitmap* Scratch(int width, int height) {
    if (!upright_first || upright_first->Width() != width || upright_first->Height() != height)
      upright_first = std::make_unique<kit::Bitmap>(width, height);
    return upright_first.get();
  }
};

}  // namespace

kit::Bitmap* DecodeThumbnail(const uint8_t* data, size_t size, ThumbnailTurn turn) {
  if (size == 0) return nullptr;
  thread_local Decoder decoder;
  tjhandle handle = decoder.handle.get();
  if (handle == nullptr) return nullptr;
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &width, &height,
                          &subsampling, &colorspace) != 0)
    return nullptr;
  if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxThumbnailPixels) return nullptr;
  std::unique_ptr<kit::Bitmap> decoded;
  kit::Bitmap* target = nullptr;
  const bool in_place = turn == ThumbnailTurn::kNone || turn == ThumbnailTurn::kHalf;
  if (in_place) {
    decoded = std::make_unique<kit::Bitmap>(width, height);
    target = decoded.get();
  } else {
    target = decoder.Scratch(width, height);
  }
  // A warning (a damaged but decoded stream) still leaves a picture worth showing.
  if (tjDecompress2(handle, data, static_cast<unsigned long>(size), target->Bits(), width,
                    target->BytesPerRow(), height, TJPF_BGRA, 0) != 0 &&
      tjGetErrorCode(handle) != TJERR_WARNING)
    return nullptr;
  if (turn == ThumbnailTurn::kHalf) kit::TurnHalf(*decoded);
  if (in_place) return decoded.release();
  return kit::TurnedQuarter(*target, turn == ThumbnailTurn::kClockwise);
}
