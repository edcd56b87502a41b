// get: the chosen pictures grouped by the folder each goes to, every group downloaded by the
// window's own run over the selection, and said as that run reports it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "app/ptv_App.h"
#include "camera/FileDigest.h"
#include "camera/PictureNames.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/Pictures.h"
#include "cli/TargetFolder.h"

namespace {

struct Group {
  std::string folder;
  std::vector<Picture> pictures;
};

// Whether the file stands whole in the folder: one pictrove wrote says so by its digest;
// another by the camera's size. An empty file is what a download cut off while naming
// leaves, never a whole one. A picture turned upright is stored at another size than the
// camera's, so for one that was not written by a pictrove that keeps digests its name is all
// there is.
bool FileThere(const std::string& folder, const std::string& path, uint32_t size, bool turned) {
  // A camera name that could not be a file of the folder was never written into it.
  std::optional<std::string> name = LocalName(path.c_str());
  if (!name) return false;
  int fd = open((folder + "/" + *name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd == -1) return false;
  struct stat status;
  bool there = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
  if (there) {
    if (std::optional<uint64_t> digest = ReadDigestAttribute(fd))
      there = DigestOfFile(fd) == digest;
    else
      there = turned || status.st_size == off_t(size);
  }
  close(fd);
  return there;
}

// Whether the row's main file and every companion stand whole: only a JPEG picture is
// turned by the download.
bool AlreadyThere(const std::string& folder, const Picture& picture) {
  const bool turned = NeedsTurn(picture.kind, picture.orientation);
  return FileThere(folder, picture.path, picture.size, turned) &&
         std::all_of(picture.companions.begin(), picture.companions.end(),
                     [&](const CompanionFile& companion) {
                       return FileThere(folder, companion.path, companion.size, false);
                     });
}

std::vector<Group> Grouped(CommandContext& context, const std::vector<Picture>& pictures) {
  std::vector<Group> groups;
  std::map<std::string, size_t> index;
  for (const Picture& picture : pictures) {
    std::string folder = TargetFolder(context.options.into, picture.taken);
    if (context.options.skip_existing && AlreadyThere(folder, picture)) {
      context.progress.Say(picture.name + ": already in " + folder + ", skipped");
      continue;
    }
    auto [at, added] = index.emplace(folder, groups.size());
    if (added) groups.push_back({folder, {}});
    groups[at->second].pictures.push_back(picture);
  }
  return groups;
}

struct Tally {
  int downloaded = 0, failed = 0, not_tried = 0, deleted = 0, kept_protected = 0;
};

void Fail(CommandContext& context, const std::string& name, const std::string& what) {
  context.progress.Say("pictrove-cli: " + name + ": " + what, context.errors);
}

// What the run did with each picture of the group, said and counted.
void Tell(CommandContext& context, const Group& group, const DownloadReport& report, Tally& tally) {
  for (const Picture& picture : group.pictures) {
    const std::string& name = picture.name;
    // A picture the run does not report (it never began) was not tried.
    PictureOutcome told;
    for (const PictureOutcome& outcome : report.pictures)
      if (outcome.id == picture.id) told = outcome;
    const std::string& why = told.why;
    switch (told.outcome) {
      case Outcome::kNotTried:
        Fail(context, name, "not tried");
        tally.not_tried++;
        break;
      case Outcome::kFailed:
        Fail(context, name, "not downloaded");
        tally.failed++;
        break;
      case Outcome::kNamed:
        Fail(context, name, "downloaded, but not marked downloaded: " + why);
        tally.downloaded++;
        break;
      case Outcome::kMarked:
        if (report.deleting && !why.empty()) context.progress.Say(name + ": kept, " + why);
        tally.downloaded++;
        break;
      case Outcome::kDeleted:
        tally.downloaded++;
        tally.deleted++;
        break;
    }
  }
  tally.kept_protected += int(report.kept_protected);
}

// The group's pictures into its folder.
DownloadReport Download(CommandContext& context, const Group& group, int first) {
  DownloadReport report;
  if (int error = MakeFolders(group.folder); error != 0) {
    context.progress.Say(
        "pictrove-cli: cannot make the folder " + group.folder + ": " + strerror(error),
        context.errors);
    return report;
  }
  std::vector<std::string> names;
  for (const Picture& picture : group.pictures) names.push_back(picture.name);
  context.windows.DownloadGroup(first, names);
  context.session.Run([&] {
    SelectOnly(context.windows.List(), group.pictures);
    report = context.session.App().Download_Selected(group.folder, context.options.delete_after);
  });
  context.windows.DownloadGroup(0, {});
  return report;
}

}  // namespace

int GetPictures(CommandContext& context) {
  Tally tally;
  std::vector<Picture> pictures =
      Kept(ChosenPictures(context, &tally.failed), context.options.only_new, context.options.kinds);
  std::vector<Group> groups = Grouped(context, pictures);
  int count = 0;
  uint64_t bytes = 0;
  for (const Group& group : groups) {
    count += int(group.pictures.size());
    for (const Picture& picture : group.pictures) bytes += picture.total_size;
  }
  context.progress.Begin(count, bytes);
  bool going = true;
  for (const Group& group : groups) {
    DownloadReport report;
    // The window's run stops at a picture that failed, and so does this one.
    if (going && Interrupted() == 0) report = Download(context, group, tally.downloaded);
    Tell(context, group, report, tally);
    if (report.Named() < group.pictures.size()) going = false;
  }
  context.progress.End();
  if (tally.kept_protected > 0)
    fprintf(context.out, "%d protected picture%s kept on the camera.\n", tally.kept_protected,
            tally.kept_protected == 1 ? " was" : "s were");
  fprintf(context.out, "%d downloaded, %d failed", tally.downloaded, tally.failed);
  if (tally.not_tried > 0) fprintf(context.out, ", %d not tried", tally.not_tried);
  if (context.options.delete_after) fprintf(context.out, ", %d deleted", tally.deleted);
  fputs("\n", context.out);
  return tally.failed == 0 && tally.not_tried == 0 ? 0 : 1;
}
