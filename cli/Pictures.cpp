#include "cli/Pictures.h"

#include <strings.h>

#include <algorithm>
#include <mutex>

#include "app/PictureList.h"
#include "camera/PictureNames.h"

namespace {

// A name that could not be a file here is shown as the camera gives it.
std::string EightThree(const std::string& path) {
  return LocalName(path.c_str()).value_or(path);
}

bool SameName(const std::string& path, const std::string& name, const std::string& given) {
  return strcasecmp(name.c_str(), given.c_str()) == 0 ||
         strcasecmp(path.c_str(), given.c_str()) == 0;
}

// How a name gives a row; the better of two is the greater.
enum class Match { kNone, kCompanion, kMain };

Match MatchOf(const Picture& picture, const std::string& given) {
  if (SameName(picture.path, picture.name, given)) return Match::kMain;
  for (const CompanionFile& companion : picture.companions)
    if (SameName(companion.path, companion.name, given)) return Match::kCompanion;
  return Match::kNone;
}

}  // namespace

std::vector<Picture> ReadPictures(PictureList& list) {
  std::lock_guard<std::recursive_mutex> guard(list.Mutex());
  std::vector<Picture> pictures;
  for (int i = 0; i < list.CountItems(); i++) {
    const pic_Item* row = list.ItemAt(i);
    Picture picture;
    picture.id = row->Id();
    picture.path = row->GetName();
    picture.name = EightThree(picture.path);
    picture.size = row->size;
    picture.date = row->date;
    picture.width = row->xres;
    picture.height = row->yres;
    picture.attributes = row->attributes;
    picture.orientation = row->orientation;
    picture.kind = row->kind;
    picture.taken = row->TakenDate();
    picture.total_size = row->TotalSize();
    for (const Companion& companion : row->companions)
      picture.companions.push_back({companion.name, EightThree(companion.name), companion.size});
    pictures.push_back(picture);
  }
  return pictures;
}

std::vector<Picture> Kept(const std::vector<Picture>& pictures, bool only_new,
                          const std::set<FileKind>& kinds) {
  std::vector<Picture> kept;
  for (const Picture& picture : pictures)
    if ((!only_new || picture.New()) && (kinds.empty() || kinds.count(picture.kind) != 0))
      kept.push_back(picture);
  return kept;
}

std::vector<Picture> Named(const std::vector<Picture>& pictures,
                           const std::vector<std::string>& names, std::vector<std::string>* unknown,
                           std::vector<CompanionName>* by_companion) {
  std::vector<Match> chosen(pictures.size(), Match::kNone);
  std::vector<std::string> companion_given(pictures.size());
  for (const std::string& name : names) {
    bool found = false;
    for (size_t i = 0; i < pictures.size(); i++) {
      Match match = MatchOf(pictures[i], name);
      if (match == Match::kNone) continue;
      found = true;
      if (match == Match::kCompanion && companion_given[i].empty()) companion_given[i] = name;
      chosen[i] = std::max(chosen[i], match);
    }
    if (!found) unknown->push_back(name);
  }
  std::vector<Picture> result;
  for (size_t i = 0; i < pictures.size(); i++) {
    if (chosen[i] == Match::kCompanion && by_companion != nullptr)
      by_companion->emplace_back(companion_given[i], pictures[i].name);
    else if (chosen[i] != Match::kNone)
      result.push_back(pictures[i]);
  }
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
