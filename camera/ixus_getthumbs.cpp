// Loading the pictures of a listing: one record per JPEG picture, with its EXIF values and
// its thumbnail, added to the picture list as soon as it is complete.
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/Orientation.h"
#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "camera/CameraPath.h"
#include "camera/ThumbnailDecoder.h"
#include "camera/ThumbnailQueue.h"
#include "camera/ixus_command.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "exif/ixus_exifparse.h"
#include "kit/ByteStream.h"

namespace {

// A start of image, a JFIF segment and an EXIF segment: 64 KiB each at most.
constexpr uint32_t kMostThumbnailReply = 2 + 2 * (2 + 0xFFFF);

bool SendThumbnailCommand(USBDevice* device, unsigned char* buffer, const char* path) {
  return ixus_picturecmd(buffer, path, PictureReply::kThumbnail) &&
         ixus_sendcmd(device, buffer) != -1;
}

ThumbnailTurn ThumbnailTurnFor(const pic_Item* picture) {
  switch (TurnFor(picture->orientation)) {
    case UprightTurn::kQuarter:
      return ThumbnailTurn::kClockwise;
    case UprightTurn::kHalf:
      return ThumbnailTurn::kHalf;
    case UprightTurn::kThreeQuarters:
      return ThumbnailTurn::kCounterClockwise;
    default:
      return ThumbnailTurn::kNone;
  }
}

// The picture's EXIF values into the record and its thumbnail into `thumbnail`: false when
// the reply could not be read.
bool FetchThumbnail(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture,
                    kit::ByteStream* thumbnail) {
  const USBEndpoint* pipe = ixus_inpipe(device);
  if (pipe == nullptr) return false;
  size_t path_length = strlen(path);
  if (path_length > CameraPath::kMaxLength) return false;

  if (!SendThumbnailCommand(device, buffer, path)) {
    fputs("Error in getthumb 1\n", stderr);
    return false;
  }
  // The reply is the picture's start, up to the end of its EXIF segment.
  uint32_t most = kMostThumbnailReply;
  if (picture->size != 0 && picture->size < most) most = picture->size;
  int64_t length = ixus_dataheader(pipe, buffer, 0, most);
  if (length == -1) {
    fputs("Error in getthumb 2\n", stderr);
    return false;
  }
  return ixus_exifparse(pipe, buffer, thumbnail, static_cast<unsigned long>(length), picture);
}

void LoadPicture(USBDevice* device, unsigned char* buffer, const ixus_direntry* entry,
                 const char* path, ThumbnailQueue& queue) {
  auto record = std::make_unique<pic_Item>();
  record->set_XRes(0);
  record->set_YRes(0);
  record->set_Orientation(0);
  record->set_Size(entry->size);
  // A picture whose thumbnail failed is listed all the same, without one.
  kit::ByteStream thumbnail;
  if (!FetchThumbnail(device, buffer, path, record.get(), &thumbnail)) thumbnail = {};
  record->set_Name(path);
  record->set_Attrs(entry->attributes);
  record->set_Date(entry->date);
  ThumbnailTurn turn = ThumbnailTurnFor(record.get());
  queue.Add(std::move(record), std::move(thumbnail), turn);
}

}  // namespace

void ixus_getthumbs(USBDevice* device, unsigned char* buffer, ixus_direntry* first) {
  {
    ThumbnailQueue queue(
        [](std::unique_ptr<pic_Item> record) { Host().add_item(record.release()); });
    ixus_walkpictures(first, [&](const ixus_direntry* entry, const char* path) {
      LoadPicture(device, buffer, entry, path, queue);
    });
  }
  Host().sort_list();
}

bool ixus_getthumb(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture) {
  kit::ByteStream thumbnail;
  if (!FetchThumbnail(device, buffer, path, picture, &thumbnail)) return false;
  picture->set_Bitmap(
      DecodeThumbnail(thumbnail.Data(), thumbnail.Size(), ThumbnailTurnFor(picture)));
  return true;
}
