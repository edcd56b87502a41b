// Downloading one picture: a hidden file in the download folder gets the data and, once it
// is complete, goes to be made durable, turned upright when its orientation asks for it, and
// named while the camera sends the next one.
#include "camera/ixus_getfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "camera/DownloadAdvice.h"
#include "camera/DownloadFolder.h"
#include "camera/PictureAttributes.h"
#include "camera/PictureCommits.h"
#include "camera/PictureData.h"
#include "camera/PictureFile.h"
#include "camera/PictureNames.h"
#include "camera/PictureTurn.h"
#include "camera/err_req.h"
#include "camera/ixus_command.h"

namespace {

// An alert about the picture `name` in `folder`, with what the user can do; the failure it
// makes of the download.
Fetch Said(const char* alert, const std::string& name, const std::string& folder) {
  DownloadAlert(alert, name, folder);
  return {Fetch::kFailed, alert};
}

const char* NameFailure(int error) {
  return CommitFailure({error, true});
}

bool SendPictureCommand(USBDevice* device, unsigned char* buffer, const char* path) {
  return ixus_picturecmd(buffer, path, PictureReply::kFile) && ixus_sendcmd(device, buffer) != -1;
}

}  // namespace

namespace {

// One file of a row as the listing gave it.
struct RowFile {
  std::string path;
  FileKind kind;
  uint32_t size;
  uint32_t date;
};

// The row's main file, then its companions.
std::vector<RowFile> FilesOf(const char* path, const pic_Item& picture) {
  std::vector<RowFile> files{{path, picture.kind, picture.size, picture.date}};
  for (const Companion& companion : picture.companions)
    files.push_back({companion.name, companion.kind, companion.size, companion.date});
  return files;
}

// Types a file of the row once it is complete: 0, or why it could not be. A picture to be
// turned is typed once it is, as the file it then is.
int Type(const PictureFile& file, const RowFile& row_file, bool main, bool turn,
         pic_Item* picture) {
  if (turn) return 0;
  if (row_file.kind == FileKind::kPicture)
    return TypePictureFile(file.Fd(), picture, int32_t(picture->xres), int32_t(picture->yres));
  // A raw picture or movie knows its size from its thumbnail file's EXIF values.
  int32_t width = main ? int32_t(picture->xres) : 0;
  int32_t height = main ? int32_t(picture->yres) : 0;
  return TypeCardFile(file.Fd(), row_file.kind, row_file.date, width, height);
}

}  // namespace

Fetch GetPicture(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture,
                 PictureCommits& commits, uint64_t key) {
  const DownloadFolder& folder = commits.Folder();
  std::vector<RowFile> files = FilesOf(path, *picture);
  // Every name is looked at before any data moves: a row comes off whole or not at all.
  std::vector<std::string> names;
  for (const RowFile& file : files) {
    std::optional<std::string> name = LocalName(file.path.c_str());
    if (!name) return Said("Could not create the file.", file.path, folder.Path());
    // A row still being committed has its names as good as taken.
    int state = commits.Naming(*name) ? EEXIST : NameState(folder.Fd(), *name);
    if (state != 0) return Said(NameFailure(state), *name, folder.Path());
    names.push_back(*name);
  }
  const USBEndpoint* pipe = ixus_inpipe(device);
  std::vector<PictureCommits::Part> parts;
  for (size_t i = 0; i < files.size(); i++) {
    const RowFile& file = files[i];
    auto refused = [&](const char* alert) { return Said(alert, names[i], folder.Path()); };
    // The protocol's own line for standard error comes after the alert.
    auto failed = [&](const char* alert, const char* line) {
      Fetch fetch = refused(alert);
      fputs(line, stderr);
      return fetch;
    };
    auto hidden = std::make_unique<PictureFile>(folder);
    if (hidden->Create() != 0) return refused("Could not create the file.");
    if (pipe == nullptr) return failed("Could not get picture (1)", "Error in getfile 0\n");
    if (!SendPictureCommand(device, buffer, file.path.c_str()))
      return failed("Could not get picture (2)", "Error in getfile 1\n");
    // The data must be the file the listing gave, to the byte: any other length is a reply
    // to something else, or a file cut short.
    if (ixus_dataheader(pipe, buffer, file.size, file.size) == -1)
      return failed("Could not get picture (3)", "Error in getfile 2\n");
    PictureFile& data = *hidden;
    const char* failure = ReceivePicture(
        pipe, buffer, file.size,
        [&data](const unsigned char* piece, size_t length) { return data.Append(piece, length); });
    if (failure != nullptr && *failure == '\0') return {Fetch::kStopped, {}};
    if (failure != nullptr) return refused(failure);
    bool turn = i == 0 && NeedsTurn(file.kind, picture->orientation);
    if (int error = Type(*hidden, file, i == 0, turn, picture); error != 0)
      return refused(WriteFailure(error));
    // Said now, after the picture's own line, whenever the turn itself comes.
    if (turn) fprintf(stderr, "\n rotate %s\n", TurnAngle(picture->orientation));
    parts.push_back({std::move(hidden), names[i], turn});
  }
  commits.Add(key, std::move(parts), picture->Copy());
  return {Fetch::kCommitting, {}};
}

bool ixus_getfile(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture) {
  DownloadFolder folder;
  if (int error = folder.Open("."); error != 0) {
    err_req(NameFailure(error));
    return false;
  }
  PictureCommits commits(folder);
  if (GetPicture(device, buffer, path, picture, commits, 0).state != Fetch::kCommitting)
    return false;
  const PictureCommits::Ended ended = std::move(commits.TakeAll().front());
  if (ended.committed.error == 0) return true;
  DownloadAlert(CommitFailure(ended.committed), ended.failed, folder.Path());
  return false;
}
