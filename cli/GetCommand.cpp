// get: the chosen pictures grouped by the folder each goes to, every group downloaded by the
// window's own run over the selection.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "app/ptv_App.h"
#include "camera/PictureNames.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/Pictures.h"
#include "cli/TargetFolder.h"

namespace {

struct Group {
  std::string folder;
  std::vector<Picture> pictures;
  std::vector<bool> existed;  // a file of the picture's name was there before the run
};

bool Exists(const std::string& path, off_t* size = nullptr) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0) return false;
  if (size != nullptr) *size = status.st_size;
  return true;
}

// A picture the download turns upright is stored at another size than the camera's: its
// name is all there is to go by.
bool AlreadyThere(const std::string& folder, const Picture& picture) {
  off_t size = 0;
  if (!Exists(folder + "/" + picture.name, &size)) return false;
  return NeedsTurn(picture.orientation) || size == off_t(picture.size);
}

std::vector<Group> Grouped(CommandContext& context, const std::vector<Picture>& pictures) {
  std::vector<Group> groups;
  std::map<std::string, size_t> index;
  for (const Picture& picture : pictures) {
    std::string folder = TargetFolder(context.options.into, picture.date);
    if (context.options.skip_existing && AlreadyThere(folder, picture)) {
      context.progress.Say(picture.name + ": already in " + folder + ", skipped");
      continue;
    }
    auto [at, added] = index.emplace(folder, groups.size());
    if (added) groups.push_back({folder, {}, {}});
    Group& group = groups[at->second];
    group.pictures.push_back(picture);
    group.existed.push_back(Exists(folder + "/" + picture.name));
  }
  return groups;
}

void NotDownloaded(CommandContext& context, const Picture& picture) {
  context.progress.Say("pictrove-cli: " + picture.name + ": not downloaded", context.errors);
}

// The group's pictures into its folder: how many are now complete under their names.
int Download(CommandContext& context, const Group& group, int first) {
  if (int error = MakeFolders(group.folder); error != 0) {
    context.progress.Say(
        "pictrove-cli: cannot make the folder " + group.folder + ": " + strerror(error),
        context.errors);
    return 0;
  }
  std::vector<std::string> names;
  for (const Picture& picture : group.pictures) names.push_back(picture.name);
  context.windows.DownloadGroup(first, names);
  int back = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // The run writes into the current folder, as the window's does into the chosen one.
  if (chdir(group.folder.c_str()) == 0) {
    context.session.Run([&] {
      SelectOnly(context.windows.List(), group.pictures);
      context.session.App().Download_Selected();
    });
  } else {
    context.progress.Say("pictrove-cli: cannot open the folder " + group.folder, context.errors);
  }
  if (back >= 0) {
    if (fchdir(back) != 0) context.progress.Say("pictrove-cli: lost the current folder");
    close(back);
  }
  context.windows.DownloadGroup(0, {});
  int done = 0;
  for (size_t i = 0; i < group.pictures.size(); i++)
    if (!group.existed[i] && Exists(group.folder + "/" + group.pictures[i].name)) done++;
  return done;
}

}  // namespace

int GetPictures(CommandContext& context) {
  int failed = 0;
  std::vector<Picture> pictures = ChosenPictures(context, &failed);
  if (context.options.only_new) pictures = NewOnly(pictures);
  std::vector<Group> groups = Grouped(context, pictures);
  int count = 0;
  uint64_t bytes = 0;
  for (const Group& group : groups) {
    count += int(group.pictures.size());
    for (const Picture& picture : group.pictures) bytes += picture.size;
  }
  context.progress.Begin(count, bytes);
  int downloaded = 0;
  bool going = true;
  for (const Group& group : groups) {
    // The window's run stops at a picture that failed, and so does this one.
    int done = going && Interrupted() == 0 ? Download(context, group, downloaded) : 0;
    downloaded += done;
    if (done < int(group.pictures.size())) going = false;
    for (size_t i = 0; i < group.pictures.size(); i++)
      if (group.existed[i] || !Exists(group.folder + "/" + group.pictures[i].name)) {
        NotDownloaded(context, group.pictures[i]);
        failed++;
      }
  }
  context.progress.End();
  fprintf(context.out, "%d downloaded, %d failed\n", downloaded, failed);
  return failed == 0 ? 0 : 1;
}
