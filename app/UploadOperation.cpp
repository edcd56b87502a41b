// The upload: a file to the camera, refused before anything is sent when the camera could
// not take it whole or could not show it, and checked afterwards for what a failure left.
#include <cstdio>

#include "app/ptv_App.h"
#include "camera/UploadBlocks.h"
#include "camera/UploadSource.h"
#include "camera/err_req.h"
#include "camera/ixus_find.h"
#include "camera/ixus_info.h"
#include "camera/ixus_sendfile.h"

namespace {

constexpr char kUnreadable[] = "The camera could not be read. Unplug it and plug it in again.";

}  // namespace

const char* ptv_App::UploadRefusal(USBDevice* camera, const char* path) {
  // One the source cannot even be opened for is ixus_sendfile's to tell.
  UploadSource source;
  if (!source.Open(path)) return nullptr;
  const uint64_t size = source.Size();
  if (!IsCameraJpeg(source))
    return "The file is not a JPEG picture with EXIF or JFIF data: the camera could not "
           "show it.";
  // The camera would replace its own picture of that name without a word; and the upload
  // removes what a failed one leaves, which must never be the user's picture.
  int held = ixus_find(camera, camerabuffer, "D:", kUploadPath);
  if (held == -1) return kUnreadable;
  if (held == 1)
    return upload_left_ ? "The camera holds IMG_1205.JPG from an earlier upload that failed. "
                          "Delete it on the camera to free the name."
                        : "The camera already holds a picture named IMG_1205.JPG.";
  upload_left_ = false;
  if (!ixus_diskinfo(camera, camerabuffer, Drive())) return kUnreadable;
  if (size > facts.diskfree) return "The file is larger than the free space on the camera's card.";
  return nullptr;
}

bool ptv_App::Upload(const char* path) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return false;
  bool sent = false;
  if (const char* refusal = UploadRefusal(camera, path)) {
    err_req(refusal);
  } else {
    sent = ixus_sendfile(camera, camerabuffer, path);
    // A failed upload deletes what it sent while the camera answers; when it could not,
    // the part stays under the upload's name.
    int held = sent ? 0 : ixus_find(camera, camerabuffer, "D:", kUploadPath);
    upload_left_ = held != 0;
    if (held == 1)
      err_req(
          "The failed upload left part of the file on the camera as IMG_1205.JPG in "
          "D:\\DCIM\\112CANON, and it could not be deleted. Delete it on the camera.");
  }
  CloseCamera();
  return sent;
}
