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

Fetch GetPicture(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture,
                 PictureCommits& commits, uint64_t key) {
  const DownloadFolder& folder = commits.Folder();
  std::optional<std::string> name = LocalName(path);
  auto refused = [&](const char* alert) { return Said(alert, name.value_or(path), folder.Path()); };
  // The protocol's own line for standard error comes after the alert.
  auto failed = [&](const char* alert, const char* line) {
    Fetch fetch = refused(alert);
    fputs(line, stderr);
    return fetch;
  };
  if (!name) return refused("Could not create the file.");
  // A picture still being committed has its name as good as taken.
  int state = commits.Naming(*name) ? EEXIST : NameState(folder.Fd(), *name);
  if (state != 0) return refused(NameFailure(state));

  auto file = std::make_unique<PictureFile>(folder);
  if (file->Create() != 0) return refused("Could not create the file.");

  const USBEndpoint* pipe = ixus_inpipe(device);
  if (pipe == nullptr) return failed("Could not get picture (1)", "Error in getfile 0\n");
  if (!SendPictureCommand(device, buffer, path))
    return failed("Could not get picture (2)", "Error in getfile 1\n");
  // The data must be the picture the listing gave, to the byte: any other length is a
  // reply to something else, or a picture cut short.
  if (ixus_dataheader(pipe, buffer, picture->size, picture->size) == -1)
    return failed("Could not get picture (3)", "Error in getfile 2\n");
  PictureFile& data = *file;
  const char* failure = ReceivePicture(
      pipe, buffer, picture->size,
      [&data](const unsigned char* piece, size_t length) { return data.Append(piece, length); });
  if (failure != nullptr && *failure == '\0') return {Fetch::kStopped, {}};
  if (failure != nullptr) return refused(failure);
  bool turn = NeedsTurn(picture->orientation);
  // A picture to be turned is typed once it is, as the file it then is.
  if (!turn) {
    int error =
        TypePictureFile(file->Fd(), picture, int32_t(picture->xres), int32_t(picture->yres));
    if (error != 0) return refused(WriteFailure(error));
  }
  // Said now, after the picture's own line, whenever the turn itself comes.
  if (turn) fprintf(stderr, "\n rotate %s\n", TurnAngle(picture->orientation));
  commits.Add(key, std::move(file), *name, picture->Copy(), turn);
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
  const Committed committed = commits.TakeAll().front().committed;
  if (committed.error == 0) return true;
  DownloadAlert(CommitFailure(committed), LocalName(path).value_or(path), folder.Path());
  return false;
}
