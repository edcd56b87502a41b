// Loading the files of a listing: one record per row, a picture with its EXIF values and its
// thumbnail, a raw picture or movie with those of its thumbnail file, added to the picture
// list as soon as it is complete.
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/Orientation.h"
#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "camera/CameraPath.h"
#include "camera/CardRows.h"
#include "camera/ThumbnailDecoder.h"
#include "camera/ThumbnailQueue.h"
#include "camera/ixus_command.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "exif/ixus_exifparse.h"
#include "kit/ByteStream.h"
#include "kit/ExifDate.h"

namespace {

// A start of image, a JFIF segment and an EXIF segment: 64 KiB each at most.
constexpr uint32_t kMostThumbnailReply = 2 + 2 * (2 + 0xFFFF);
// A thumbnail file is a small JPEG of its own: one larger than this is not what it should be.
constexpr uint32_t kMostThumbnailFile = 256 * 1024;

bool SendPictureCommand(USBDevice* device, unsigned char* buffer, const char* path,
                        PictureReply reply) {
  return ixus_picturecmd(buffer, path, reply) && ixus_sendcmd(device, buffer) != -1;
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

  if (!SendPictureCommand(device, buffer, path, PictureReply::kThumbnail)) {
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

// The thumbnail file's EXIF values and date into the record of the file it stands for, and
// the file itself, whose image is the thumbnail, into `thumbnail`. Only ever asked for with
// the file command: what a camera answers to a thumbnail command for anything but a JPEG
// picture is unknown.
bool FetchThumbnailFile(USBDevice* device, unsigned char* buffer, const CardFile& file,
                        pic_Item* record, kit::ByteStream* thumbnail) {
  const USBEndpoint* pipe = ixus_inpipe(device);
  uint32_t size = file.entry->size;
  if (pipe == nullptr || size > kMostThumbnailFile || file.path.size() > CameraPath::kMaxLength)
    return false;
  if (!SendPictureCommand(device, buffer, file.path.c_str(), PictureReply::kFile)) {
    fputs("Error in getthumb 1\n", stderr);
    return false;
  }
  if (ixus_dataheader(pipe, buffer, size, size) == -1) {
    fputs("Error in getthumb 2\n", stderr);
    return false;
  }
  kit::ByteStream embedded;
  if (!ixus_exifparse(pipe, buffer, &embedded, size, record, thumbnail)) return false;
  record->exif_date = kit::DateTimeOriginal({thumbnail->Data(), thumbnail->Size()}).value_or(0);
  return true;
}

const CardFile* ThumbnailFileOf(const CardRow& row) {
  for (const CardFile& companion : row.companions)
    if (companion.kind == FileKind::kThumbnail) return &companion;
  return nullptr;
}

void LoadRow(USBDevice* device, unsigned char* buffer, const CardRow& row, ThumbnailQueue& queue) {
  const ixus_direntry* entry = row.main.entry;
  const char* path = row.main.path.c_str();
  auto record = std::make_unique<pic_Item>();
  record->set_XRes(0);
  record->set_YRes(0);
  record->set_Orientation(0);
  record->set_Size(entry->size);
  record->kind = row.main.kind;
  for (const CardFile& companion : row.companions)
    record->companions.push_back({companion.path, companion.kind, companion.entry->attributes,
                                  companion.entry->size, companion.entry->date});
  // A file whose thumbnail failed is listed all the same, without one.
  kit::ByteStream thumbnail;
  bool fetched = false;
  if (row.main.kind == FileKind::kPicture) {
    fetched = FetchThumbnail(device, buffer, path, record.get(), &thumbnail);
  } else if (const CardFile* file = ThumbnailFileOf(row)) {
    fetched = FetchThumbnailFile(device, buffer, *file, record.get(), &thumbnail);
  }
  if (!fetched) thumbnail = {};
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
    for (const CardRow& row : ixus_cardrows(first)) LoadRow(device, buffer, row, queue);
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
