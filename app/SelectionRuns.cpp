// Runs over the main window's selection that talk to the camera: setting the flags and
// deleting. Each look at the list holds the main window's lock briefly, never across a
// camera command, so the window stays usable meanwhile.
#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "app/ptv_App.h"

namespace {

struct Selected {
  bool present = false;
  uint32_t attributes = 0;
  bool deletable = false;
  std::string name;
  std::vector<Companion> companions;
};

// What the run needs of a row, read under the lock; not present once the row has gone.
Selected Read(PictureList& list, PictureId picture) {
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  Selected selected;
  const pic_Item* row = list.ItemWithId(picture);
  if (row == nullptr) return selected;
  selected.present = true;
  selected.attributes = row->attributes;
  selected.deletable = row->Deletable();
  selected.name = row->GetName();
  selected.companions = row->companions;
  return selected;
}

}  // namespace

unsigned long ptv_App::AttributesFor(unsigned long value, char downloaded, char protect) {
  if (protect == kSet) value = (value | pic_Item::kProtected) & 0xFF;
  if (protect == kUnset) value &= 0xFE;
  if (downloaded == kSet) value &= 0xDF;
  if (downloaded == kUnset) value = (value | pic_Item::kNew) & 0xFF;
  return value;
}

// Both runs keep to the rows selected when they begin: what the user selects meanwhile is
// not what was asked for.
std::vector<std::pair<PictureId, bool>> ptv_App::Setattr_Selected(char downloaded, char protect) {
  PictureList& list = MainWin()->List();
  std::vector<std::pair<PictureId, bool>> taken;
  for (PictureId picture : list.SelectedIds()) {
    Selected selected = Read(list, picture);
    // A failure is shown by Setattr and does not stop the run.
    if (selected.present)
      taken.emplace_back(picture,
                         Setattr(picture, AttributesFor(selected.attributes, downloaded, protect)));
  }
  return taken;
}

std::vector<std::pair<PictureId, bool>> ptv_App::DeleteSelected() {
  PictureList& list = MainWin()->List();
  std::vector<std::pair<PictureId, bool>> gone;
  for (PictureId picture : list.SelectedIds()) {
    Selected selected = Read(list, picture);
    if (!selected.present) continue;
    if (selected.deletable) {
      bool deleted = Deletepic(selected.name.c_str(), selected.companions);
      gone.emplace_back(picture, deleted);
      if (!deleted) break;
      std::lock_guard<std::recursive_mutex> guard(list.Mutex());
      list.remove_item(list.ItemWithId(picture));
    }
    RefreshCameraInfo();
  }
  return gone;
}
