// Downloading the selection into the folder the panel answered with, and remembering it.
#include <unistd.h>

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
#include "camera/err_req.h"

void ptv_App::DownloadInto(const kit::Message& message) {
  if (message.what == kSelectCurrent) windows_.HideFolderPanel();
  kit::EntryRef ref;
  if (!message.FindRef("refs", &ref)) return;
  char resolved[PATH_MAX];
  // Pictures written anywhere but the chosen folder would be lost to the user: without the
  // folder nothing is downloaded.
  if (realpath(ref.path.c_str(), resolved) == nullptr || chdir(resolved) != 0) {
    err_req("Could not open the download folder.");
    return;
  }
  Download_Selected();
  WriteDownloadFolder(resolved);
}

void ptv_App::Download_Selected() {
  PictureList& list = MainWin()->List();
  // The run keeps to the rows selected now, whatever the user selects while it goes on.
  std::vector<PictureId> pictures;
  uint64_t total = 0;
  {
    std::lock_guard<std::recursive_mutex> guard(list.Mutex());
    pictures = list.SelectedIds();
    for (PictureId picture : pictures) total += list.ItemWithId(picture)->size;
  }
  const long count = long(pictures.size());
  cancelled_ = false;
  downloading_ = true;
  char text[64];
  snprintf(text, sizeof text, "Downloading %ld of %ld", 1L, count);
  openstatus(total, text);
  updatestatus(0, text);
  uint32_t complete = 0;
  for (long done = 0; done < count && !Cancelled(); done++) {
    // A row deleted meanwhile is no longer the user's to download.
    std::string path;
    if (!ChangeRecord(pictures[done], [&](pic_Item* row) { path = row->GetName(); })) continue;
    snprintf(text, sizeof text, "Downloading %ld of %ld", done + 1, count);
    updatestatus(0, text);
    windows_.StatusPicture(path.c_str());
    if (!Download(pictures[done], complete)) break;
  }
  // Stopped or not, every picture whose data came whole is named and marked before the run
  // ends, and before the current folder may change.
  FinishTurns(complete);
  downloading_ = false;
  closestatus();
  char folder[PATH_MAX];
  windows_.DownloadFinished(complete, uint32_t(count) - complete,
                            getcwd(folder, sizeof folder) != nullptr ? folder : "");
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
