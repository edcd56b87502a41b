// Runs over the main window's selection that talk to the camera: setting the flags and
// deleting. Each selection query holds the main window's lock briefly, never across a
// camera command, so the window stays usable meanwhile.
#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "app/ptv_App.h"

namespace {

struct Selected {
  uint64_t row = 0;  // the record's identity; 0 when there is none
  uint32_t attributes = 0;
  bool deletable = false;
  std::string name;
};

// The n-th selected row and what the run needs of it, read under the lock.
Selected SelectedAt(PictureList& list, int n) {
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  Selected selected;
  int index = list.CurrentSelection(n);
  if (index < 0) return selected;
  pic_Item* row = list.ItemAt(index);
  selected.row = row->Identity();
  selected.attributes = row->attributes;
  selected.deletable = row->Deletable();
  selected.name = row->GetName();
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

void ptv_App::Setattr_Selected(char downloaded, char protect) {
  for (int n = 0;; n++) {
    Selected selected = SelectedAt(MainWin()->List(), n);
    if (selected.row == 0) return;
    // A failure is shown by Setattr and does not stop the run.
    Setattr(selected.row, AttributesFor(selected.attributes, downloaded, protect));
  }
}

void ptv_App::DeleteSelected() {
  PictureList& list = MainWin()->List();
  for (int n = 0;;) {
    Selected selected = SelectedAt(list, n);
    if (selected.row == 0) return;
    if (selected.deletable) {
      if (!Deletepic(selected.name.c_str())) return;
      // The next selected row moves up to position n.
      std::lock_guard<std::recursive_mutex> guard(list.Mutex());
      if (pic_Item* row = list.Find(selected.row)) list.remove_item(row);
    } else {
      n++;
    }
    RefreshCameraInfo();
  }
}
