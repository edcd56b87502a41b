#include "camera/ThumbnailDecoder.h"

#include <turbojpeg.h>

#include <memory>

namespace {

struct HandleCloser {
  void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

}  // namespace

kit::Bitmap* DecodeThumbnail(const uint8_t* data, size_t size) {
  if (size == 0) return nullptr;
  Handle handle(tjInitDecompress());
  if (!handle) return nullptr;
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle.get(), data, static_cast<unsigned long>(size), &width, &height,
                          &subsampling, &colorspace) != 0)
    return nullptr;
  if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxThumbnailPixels) return nullptr;
  auto bitmap = std::make_unique<kit::Bitmap>(width, height);
  // A warning (a damaged but decoded stream) still leaves a picture worth showing.
  if (tjDecompress2(handle.get(), data, static_cast<unsigned long>(size), bitmap->Bits(), width,
                    bitmap->BytesPerRow(), height, TJPF_BGRA, 0) != 0 &&
      tjGetErrorCode(handle.get()) != TJERR_WARNING)
    return nullptr;
  return bitmap.release();
}
