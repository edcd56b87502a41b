// The operations that take one camera session each: open the camera, run the protocol,
// bring the record and its row up to date, close the camera.
#include <cstdio>
#include <cstring>

#include "app/AppWindows.h"
#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/pic_Item.h"
#include "app/ptv_App.h"
#include "camera/UploadBlocks.h"
#include "camera/err_req.h"
#include "camera/ixus_attrs.h"
#include "camera/ixus_find.h"
#include "camera/ixus_getfile.h"
#include "camera/ixus_info.h"
#include "camera/ixus_init.h"
#include "camera/ixus_sendfile.h"
#include "usb/USBDevice.h"

namespace {

// The drive the listing was read from: a G1 is never asked for its name.
const char* Drive() {
  return flashdevice[0] != '\0' ? flashdevice : "D:";
}

}  // namespace

bool ptv_App::ChangeRecord(PictureId picture, const std::function<void(pic_Item*)>& change) {
  PictureList& list = MainWin()->List();
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  pic_Item* record = list.ItemWithId(picture);
  if (record == nullptr) return false;
  change(record);
  return true;
}

bool ptv_App::Download(PictureId picture, uint32_t& named) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    err_req("Download: Could not open USB device");
    return false;
  }
  // The row may be turned on the GUI thread meanwhile: the protocol works on a copy.
  std::unique_ptr<pic_Item> copy;
  ChangeRecord(picture, [&](pic_Item* record) { copy = record->Copy(); });
  if (!copy) {
    CloseCamera();
    return false;
  }
  fprintf(stderr, "\nDownload %s\n", copy->GetName());
  Fetched fetched = GetPicture(camera, camerabuffer, copy->GetName(), copy.get(), turns_, picture);
  // Turns that ended while this picture's data flowed get their marks first, in order.
  bool turned = TurnsEnded(camera, turns_.TakeEnded(), named);
  if (fetched == Fetched::kNamed) {
    named++;
    MarkDownloaded(camera, picture, *copy);
  }
  CloseCamera();
  return fetched != Fetched::kFailed && turned;
}

void ptv_App::MarkDownloaded(USBDevice* camera, PictureId picture, const pic_Item& copy) {
  unsigned char downloaded = uint8_t(copy.attributes) & ~pic_Item::kNew;
  if (ixus_setattr(camera, camerabuffer, copy.GetName(), downloaded)) {
    ChangeRecord(picture, [&](pic_Item* record) {
      record->set_Attrs(record->attributes & ~pic_Item::kNew);
      MainWin()->List().update_item(record);
    });
  } else {
    RecheckRecord(camera, picture, copy.GetName());
  }
}

bool ptv_App::TurnsEnded(USBDevice* camera, std::vector<PictureTurns::Ended> ended,
                         uint32_t& named) {
  bool all = true;
  for (PictureTurns::Ended& turn : ended) {
    if (!TurnNamed(turn.error)) {
      all = false;
      continue;
    }
    named++;
    if (camera != nullptr) MarkDownloaded(camera, turn.key, *turn.picture);
  }
  return all;
}

void ptv_App::FinishTurns(uint32_t& named) {
  if (!turns_.Owing()) return;
  // Waited for outside the camera session: a camera unplugged meanwhile goes at once.
  std::vector<PictureTurns::Ended> ended = turns_.TakeAll();
  // Without the camera the pictures stand under their names all the same, still new on it.
  USBDevice* camera = OpenCamera();
  TurnsEnded(camera, std::move(ended), named);
  if (camera != nullptr) CloseCamera();
}

void ptv_App::Setattr(PictureId picture, unsigned long attributes) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    err_req("Setattr: Could not open USB device");
    return;
  }
  std::string path;
  if (ChangeRecord(picture, [&](pic_Item* record) { path = record->GetName(); })) {
    if (ixus_setattr(camera, camerabuffer, path.c_str(), uint8_t(attributes))) {
      ChangeRecord(picture, [&](pic_Item* record) {
        record->set_Attrs(attributes);
        MainWin()->List().update_item(record);
      });
    } else {
      RecheckRecord(camera, picture, path);
    }
  }
  CloseCamera();
}

bool ptv_App::Deletepic(const char* path) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    err_req("Delete: Could not open USB device");
    return false;
  }
  fprintf(stderr, "\nDelete %s\n", path);
  bool deleted = ixus_delete(camera, camerabuffer, path) == kDeleted;
  // A delete whose answer was lost may have happened all the same: the camera's listing tells.
  if (!deleted) deleted = ixus_find(camera, camerabuffer, Drive(), path) == 0;
  CloseCamera();
  return deleted;
}

void ptv_App::RecheckRecord(USBDevice* camera, PictureId picture, const std::string& path) {
  unsigned char attributes = 0;
  int held = ixus_find(camera, camerabuffer, Drive(), path.c_str(), &attributes);
  if (held == -1) return;
  PictureList& list = MainWin()->List();
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  pic_Item* record = list.ItemWithId(picture);
  if (record == nullptr) return;
  if (held == 0) {
    list.remove_item(record);
    return;
  }
  record->set_Attrs(attributes);
  list.update_item(record);
}

void ptv_App::opencamerainfo() {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return;
  ReadCameraFacts(camera);
  windows_.ShowCameraInfo(facts);
  CloseCamera();
}

void ptv_App::RefreshCameraInfo() {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return;
  ReadCameraFacts(camera);
  windows_.UpdateCameraInfo(facts);
  CloseCamera();
}

void ptv_App::ReadCameraFacts(USBDevice* camera) {
  ixus_identify(camera, camerabuffer);
  ixus_diskinfo(camera, camerabuffer, Drive());
  ixus_powerinfo(camera, camerabuffer);
  ReadClock(camera);
}

void ptv_App::Upload(const char* path) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return;
  // The camera would replace its own picture of that name without a word; and the upload
  // removes what a failed one leaves, which must never be the user's picture.
  int held = ixus_find(camera, camerabuffer, "D:", kUploadPath);
  if (held == 0)
    ixus_sendfile(camera, camerabuffer, path);
  else
    err_req(held == 1 ? "The camera already holds a picture named IMG_1205.JPG."
                      : "The camera could not be read. Unplug it and plug it in again.");
  CloseCamera();
}

void ptv_App::setownername(const char* name) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return;
  ixus_setowner(camera, camerabuffer, name);
  CloseCamera();
}
