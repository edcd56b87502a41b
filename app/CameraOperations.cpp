// The operations that take one camera session each: open the camera, run the protocol,
// bring the record and its row up to date, close the camera.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AppWindows.h"
#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/pic_Item.h"
#include "app/ptv_App.h"
#include "camera/DownloadAdvice.h"
#include "camera/PictureNames.h"
#include "camera/err_req.h"
#include "camera/ixus_attrs.h"
#include "camera/ixus_find.h"
#include "camera/ixus_getfile.h"
#include "camera/ixus_info.h"
#include "camera/ixus_init.h"
#include "usb/USBDevice.h"

const char* ptv_App::SkipExistingHint() const {
  const char* hint = windows_.SkipExistingHint();
  return hint != nullptr ? hint : CameraHost::SkipExistingHint();
}

const char* ptv_App::Drive() {
  // A G1 is never asked for its name.
  return flashdevice[0] != '\0' ? flashdevice : "D:";
}

bool ptv_App::ChangeRecord(PictureId picture, const std::function<void(pic_Item*)>& change) {
  PictureList& list = MainWin()->List();
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  pic_Item* record = list.ItemWithId(picture);
  if (record == nullptr) return false;
  change(record);
  return true;
}

namespace {

PictureOutcome& OutcomeOf(DownloadReport& report, PictureId picture) {
  for (PictureOutcome& outcome : report.pictures)
    if (outcome.id == picture) return outcome;
  // Every picture a run steps through is in its report from the start.
  abort();
}

}  // namespace

bool ptv_App::Download(PictureId picture, DownloadReport& report) {
  PictureOutcome& outcome = OutcomeOf(report, picture);
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    DownloadAlert("Download: Could not open USB device",
                  LocalName(outcome.path.c_str()).value_or(""), report.folder);
    outcome.outcome = Outcome::kFailed;
    outcome.why = "Download: Could not open USB device";
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
  Fetch fetch = GetPicture(camera, camerabuffer, copy->GetName(), copy.get(), *commits_, picture);
  if (fetch.state == Fetch::kFailed) {
    outcome.outcome = Outcome::kFailed;
    outcome.why = fetch.why;
  }
  // Commits that ended while this picture's data flowed get their marks first, in order.
  bool committed = CommitsEnded(camera, commits_->TakeEnded(), report);
  CloseCamera();
  return fetch.state == Fetch::kCommitting && committed;
}

void ptv_App::MarkDownloaded(USBDevice* camera, PictureId picture, const pic_Item& copy,
                             DownloadReport& report) {
  PictureOutcome& outcome = OutcomeOf(report, picture);
  if (SetRowAttributes(camera, picture, copy, copy.attributes & ~pic_Item::kNew))
    outcome.outcome = Outcome::kMarked;
  else
    outcome.why = "the camera did not take the downloaded mark";
  if (!report.deleting) return;
  if (!copy.Deletable()) {
    report.kept_protected++;
    outcome.why = "protected on the camera";
    return;
  }
  if (!DeleteOnCamera(camera, copy.GetName())) {
    outcome.why = "the camera did not delete it";
    return;
  }
  DeleteCompanions(camera, copy.companions);
  outcome.outcome = Outcome::kDeleted;
  outcome.why.clear();
  PictureList& list = MainWin()->List();
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  if (pic_Item* record = list.ItemWithId(picture)) list.remove_item(record);
}

bool ptv_App::CommitsEnded(USBDevice* camera, std::vector<PictureCommits::Ended> ended,
                           DownloadReport& report) {
  bool all = true;
  for (PictureCommits::Ended& end : ended) {
    PictureOutcome& outcome = OutcomeOf(report, end.key);
    if (end.committed.error != 0) {
      DownloadAlert(CommitFailure(end.committed), end.failed, report.folder);
      outcome.outcome = Outcome::kFailed;
      outcome.why = CommitFailure(end.committed);
      all = false;
      continue;
    }
    outcome.outcome = Outcome::kNamed;
    if (camera != nullptr)
      MarkDownloaded(camera, end.key, *end.picture, report);
    else
      outcome.why = "the camera was gone before it could be marked downloaded";
  }
  return all;
}

void ptv_App::FinishCommits(DownloadReport& report) {
  if (!commits_->Owing()) return;
  // Waited for outside the camera session: a camera unplugged meanwhile goes at once.
  std::vector<PictureCommits::Ended> ended = commits_->TakeAll();
  // Without the camera the pictures stand under their names all the same, still new on it.
  USBDevice* camera = OpenCamera();
  CommitsEnded(camera, std::move(ended), report);
  if (camera != nullptr) CloseCamera();
}

bool ptv_App::Setattr(PictureId picture, unsigned long attributes) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    err_req("Setattr: Could not open USB device", kCheckTheCamera);
    return false;
  }
  std::unique_ptr<pic_Item> copy;
  ChangeRecord(picture, [&](pic_Item* record) { copy = record->Copy(); });
  bool taken = copy && SetRowAttributes(camera, picture, *copy, attributes);
  CloseCamera();
  return taken;
}

namespace {

// A companion's attribute byte with the main file's flags, its other bits as they were.
uint8_t CompanionAttributes(uint32_t companion, unsigned long main) {
  constexpr uint32_t flags = pic_Item::kNew | pic_Item::kProtected;
  return uint8_t((companion & ~flags) | (main & flags));
}

}  // namespace

bool ptv_App::SetRowAttributes(USBDevice* camera, PictureId picture, const pic_Item& row,
                               unsigned long attributes) {
  // The main file's flags go last: the row stays new until every file of it is marked.
  for (size_t i = 0; i < row.companions.size(); i++) {
    const Companion& companion = row.companions[i];
    uint8_t byte = CompanionAttributes(companion.attributes, attributes);
    if (!ixus_setattr(camera, camerabuffer, companion.name.c_str(), byte)) {
      RecheckRecord(camera, picture, row.GetName());
      return false;
    }
    ChangeRecord(picture, [&](pic_Item* record) {
      if (i < record->companions.size()) record->companions[i].attributes = byte;
    });
  }
  if (!ixus_setattr(camera, camerabuffer, row.GetName(), uint8_t(attributes))) {
    RecheckRecord(camera, picture, row.GetName());
    return false;
  }
  ChangeRecord(picture, [&](pic_Item* record) {
    record->set_Attrs(attributes);
    MainWin()->List().update_item(record);
  });
  return true;
}

bool ptv_App::Deletepic(const char* path, const std::vector<Companion>& companions) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) {
    err_req("Delete: Could not open USB device", kCheckTheCamera);
    return false;
  }
  bool deleted = DeleteOnCamera(camera, path);
  if (deleted) DeleteCompanions(camera, companions);
  CloseCamera();
  return deleted;
}

void ptv_App::DeleteCompanions(USBDevice* camera, const std::vector<Companion>& companions) {
  for (const Companion& companion : companions) {
    if (DeleteOnCamera(camera, companion.name.c_str())) continue;
    std::string name = LocalName(companion.name.c_str()).value_or(companion.name);
    err_req(("Could not delete " + name + " from the camera.").c_str(),
            "It stays on the camera, listed on its own once the camera is read again.");
  }
}

bool ptv_App::DeleteOnCamera(USBDevice* camera, const char* path) {
  fprintf(stderr, "\nDelete %s\n", path);
  if (ixus_delete(camera, camerabuffer, path) == kDeleted) return true;
  // A delete whose answer was lost may have happened all the same: the camera's listing tells.
  return ixus_find(camera, camerabuffer, Drive(), path) == 0;
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

bool ptv_App::setownername(const char* name) {
  USBDevice* camera = OpenCamera();
  if (camera == nullptr) return false;
  bool taken = ixus_setowner(camera, camerabuffer, name);
  CloseCamera();
  return taken;
}
