// The operations that take one camera session each: open the camera, run the protocol,
// bring the record and its row up to date, close the camera.
#include <cstdio>
#include <cstring>

#include "app/AppWindows.h"
#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/pic_Item.h"
#include "app/ptv_App.h"
#include "camera/err_req.h"
#include "camera/ixus_attrs.h"
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

bool ptv_App::Download(PictureId picture) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    err_req("Download: Could not open USB device");
    return false;
  }
  // The row may be turned on the GUI thread meanwhile: the protocol works on a copy.
  std::unique_ptr<pic_Item> copy;
  ChangeRecord(picture, [&](pic_Item* record) {
    copy = std::make_unique<pic_Item>(record->GetName(), record->attributes, record->size,
                                      record->date, nullptr, record->xres, record->yres);
    copy->set_Flash(record->flash);
    copy->set_Orientation(record->orientation);
  });
  if (!copy) {
    CloseCamera();
    return false;
  }
  fprintf(stderr, "\nDownload %s\n", copy->GetName());
  if (!ixus_getfile(camera, camerabuffer, copy->GetName(), copy.get())) {
    CloseCamera();
    return false;
  }
  unsigned char downloaded = uint8_t(copy->attributes) & ~pic_Item::kNew;
  if (ixus_setattr(camera, camerabuffer, copy->GetName(), downloaded)) {
    ChangeRecord(picture, [&](pic_Item* record) {
      record->set_Attrs(record->attributes & ~pic_Item::kNew);
      MainWin()->List().update_item(record);
    });
  }
  CloseCamera();
  return true;
}

void ptv_App::Setattr(PictureId picture, unsigned long attributes) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    err_req("Setattr: Could not open USB device");
    return;
  }
  std::string path;
  if (ChangeRecord(picture, [&](pic_Item* record) { path = record->GetName(); }) &&
      ixus_setattr(camera, camerabuffer, path.c_str(), uint8_t(attributes))) {
    ChangeRecord(picture, [&](pic_Item* record) {
      record->set_Attrs(attributes);
      MainWin()->List().update_item(record);
    });
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
  long status = ixus_delete(camera, camerabuffer, path);
  CloseCamera();
  return status == kDeleted;
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
}

void ptv_App::Upload(const char* path) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return;
  ixus_sendfile(camera, camerabuffer, path);
  CloseCamera();
}

void ptv_App::setownername(const char* name) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return;
  ixus_setowner(camera, camerabuffer, name);
  CloseCamera();
}
