// Downloading the selection into the folder the panel answered with, and remembering it.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppWindows.h"
#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/Settings.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "app/ptv_App.h"
#include "camera/DownloadFolder.h"
#include "camera/err_req.h"

void ptv_App::DownloadInto(const kit::Message& message) {
  if (message.what == kSelectCurrent) windows_.HideFolderPanel();
  kit::EntryRef ref;
  if (!message.FindRef("refs", &ref)) return;
  char resolved[PATH_MAX];
  // Pictures written anywhere but the chosen folder would be lost to the user: without the
  // folder nothing is downloaded.
  if (realpath(ref.path.c_str(), resolved) == nullptr) {
    err_req("Could not open the download folder.", ref.path + " is gone: choose another folder.");
    return;
  }
  int32_t deleting = 0;
  message.FindInt32("delete", &deleting);
  // Only a folder the run could open is remembered.
  if (!Download_Selected(resolved, deleting != 0).folder.empty()) WriteDownloadFolder(resolved);
}

DownloadReport ptv_App::Download_Selected(const std::string& folder_path, bool deleting) {
  PictureList& list = MainWin()->List();
  DownloadReport report;
  report.deleting = deleting;
  // The run keeps to the rows selected now, whatever the user selects while it goes on.
  uint64_t total = 0;
  {
    std::lock_guard<std::recursive_mutex> guard(list.Mutex());
    for (PictureId picture : list.SelectedIds()) {
      const pic_Item* row = list.ItemWithId(picture);
      report.pictures.push_back({picture, row->GetName(), row->size, Outcome::kNotTried, {}});
      total += row->TotalSize();
    }
  }
  DownloadFolder folder;
  if (folder.Open(folder_path) != 0) {
    err_req("Could not open the download folder.",
            folder_path + " cannot be written into: choose another folder.");
    windows_.DownloadFinished(report);
    return report;
  }
  report.folder = folder_path;
  const long count = long(report.pictures.size());
  cancelled_ = false;
  downloading_ = true;
  commits_ = std::make_unique<PictureCommits>(folder);
  char text[64];
  snprintf(text, sizeof text, "Downloading %ld of %ld", 1L, count);
  openstatus(total, text);
  updatestatus(0, text);
  for (long done = 0; done < count && !Cancelled(); done++) {
    PictureId picture = report.pictures[done].id;
    // A row deleted meanwhile is no longer the user's to download.
    std::string path;
    if (!ChangeRecord(picture, [&](pic_Item* row) { path = row->GetName(); })) continue;
    snprintf(text, sizeof text, "Downloading %ld of %ld", done + 1, count);
    updatestatus(0, text);
    windows_.StatusPicture(path.c_str());
    if (!Download(picture, report)) break;
  }
  // Stopped or not, every picture whose data came whole is committed and marked before the
  // run ends and lets go of its folder.
  FinishCommits(report);
  commits_.reset();
  downloading_ = false;
  closestatus();
  windows_.DownloadFinished(report);
  return report;
}

void ptv_App::openstatus(uint64_t total, const char* text) {
  // Only a download can stop between two pieces and leave the camera as it was.
  windows_.OpenStatus(total, text, downloading_);
}

void ptv_App::closestatus() {
  windows_.CloseStatus();
}

void ptv_App::OwnerNameEntered(const kit::Message& message) {
  std::string name;
  if (!message.FindString("name", &name)) return;
  setownername(name.c_str());
  // The window keeps what was typed, cut after 32 bytes, whether or not the camera took it.
  std::lock_guard<std::mutex> guard(camera_lock_);
  size_t kept = name.size() < 32 ? name.size() : 32;
  name.copy(facts.ownername, kept);
  facts.ownername[kept] = '\0';
}
