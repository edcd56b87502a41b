#include "fuzz/FuzzHost.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/pic_Item.h"
#include "camera/CameraPath.h"
#include "camera/ThumbnailDecoder.h"

namespace fuzzsupport {

FuzzHost::FuzzHost() {
  keep_log = false;
  kit::SetAlertHandler(&alerts_);
}

void FuzzHost::Reset() {
  SetProductID(0);
  cleared_ = false;
  items_ = 0;
  status_open_ = false;
  total_ = 0;
  done_ = 0;
}

void FuzzHost::clear_list() {
  cleared_ = true;
  items_ = 0;
}

void FuzzHost::add_item(pic_Item* item) {
  std::unique_ptr<pic_Item> record(item);
  size_t name = strlen(record->GetName());
  if (!cleared_ || name == 0 || name > CameraPath::kMaxLength) abort();
  if (const kit::Bitmap* thumbnail = record->Thumbnail()) {
    int64_t pixels = int64_t(thumbnail->Width()) * thumbnail->Height();
    if (thumbnail->Width() <= 0 || thumbnail->Height() <= 0 || pixels > kMaxThumbnailPixels)
      abort();
  }
  items_++;
}

void FuzzHost::openstatus(uint64_t total, const char*) {
  if (status_open_) abort();
  status_open_ = true;
  total_ = total;
  done_ = 0;
}

void FuzzHost::closestatus() {
  status_open_ = false;
}

}  // namespace fuzzsupport
