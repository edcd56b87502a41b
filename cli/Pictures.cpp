#include "cli/Pictures.h"

#include <strings.h>

#include <mutex>

#include "app/PictureList.h"
#include "camera/PictureNames.h"

std::vector<Picture> ReadPictures(PictureList& list) {
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  std::vector<Picture> pictures;
  for (int i = 0; i < list.CountItems(); i++) {
    const pic_Item* row = list.ItemAt(i);
    Picture picture;
    picture.id = row->Id();
    picture.path = row->GetName();
    picture.name = LocalName(row->GetName()).value_or(picture.path);
    picture.size = row->size;
    picture.date = row->date;
    picture.width = row->xres;
    picture.height = row->yres;
    picture.attributes = row->attributes;
    picture.orientation = row->orientation;
    pictures.push_back(picture);
  }
  return pictures;
}

std::vector<Picture> NewOnly(const std::vector<Picture>& pictures) {
  std::vector<Picture> chosen;
  for (const Picture& picture : pictures)
    if (picture.New()) chosen.push_back(picture);
  return chosen;
}

std::vector<Picture> Named(const std::vector<Picture>& pictures,
                           const std::vector<std::string>& names,
                           std::vector<std::string>* unknown) {
  std::vector<bool> chosen(pictures.size(), false);
  for (const std::string& name : names) {
    bool found = false;
    for (size_t i = 0; i < pictures.size(); i++) {
      if (strcasecmp(pictures[i].name.c_str(), name.c_str()) == 0 ||
          strcasecmp(pictures[i].path.c_str(), name.c_str()) == 0) {
        chosen[i] = true;
        found = true;
      }
    }
    if (!found) unknown->push_back(name);
  }
  std::vector<Picture> result;
  for (size_t i = 0; i < pictures.size(); i++)
    if (chosen[i]) result.push_back(pictures[i]);
  return result;
}

void SelectOnly(PictureList& list, const std::vector<Picture>& pictures) {
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  list.DeselectAll();
  for (const Picture& picture : pictures) {
    int index = list.IndexOf(list.ItemWithId(picture.id));
    if (index >= 0) list.Select(index, true);
  }
}
