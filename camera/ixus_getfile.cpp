// Downloading one picture: a hidden file in the current folder gets the data and, once it is
// complete, the picture's name, or, when its orientation asks for a turn, goes to be turned
// upright and named while the camera sends the next one.
#include "camera/ixus_getfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "camera/PictureData.h"
#include "camera/PictureFile.h"
#include "camera/PictureNames.h"
#include "camera/PictureTurn.h"
#include "camera/PictureTurns.h"
#include "camera/err_req.h"
#include "camera/ixus_command.h"
#include "exif/SetJPEGFileAttrs.h"
#include "kit/FileAttributes.h"

namespace {

Fetched Refused(const char* alert) {
  err_req(alert);
  return Fetched::kFailed;
}

Fetched Failed(const char* alert, const char* line) {
  err_req(alert);
  fputs(line, stderr);
  return Fetched::kFailed;
}

const char* NameFailure(int error) {
  return error == EEXIST ? "The file already exists." : "Could not create the file.";
}

bool SendPictureCommand(USBDevice* device, unsigned char* buffer, const char* path) {
  return ixus_picturecmd(buffer, path, PictureReply::kFile) && ixus_sendcmd(device, buffer) != -1;
}

}  // namespace

Fetched GetPicture(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture,
                   PictureTurns& turns, uint64_t key) {
  std::optional<std::string> name = LocalName(path);
  if (!name) return Refused("Could not create the file.");
  bool turn = NeedsTurn(picture->orientation);
  // A picture still being turned has its name as good as taken.
  int state = turns.Naming(*name) ? EEXIST : NameState(*name);
  if (state != 0) return Refused(NameFailure(state));

  auto file = std::make_unique<PictureFile>();
  if (file->Create() != 0) return Refused("Could not create the file.");
  kit::SetMimeType(file->Fd(), "image/jpeg");
  SetJPEGFileAttrs(file->Fd(), picture);

  const USBEndpoint* pipe = ixus_inpipe(device);
  if (pipe == nullptr) return Failed("Could not get picture (1)", "Error in getfile 0\n");
  if (!SendPictureCommand(device, buffer, path))
    return Failed("Could not get picture (2)", "Error in getfile 1\n");
  // The data must be the picture the listing gave, to the byte: any other length is a
  // reply to something else, or a picture cut short.
  if (ixus_dataheader(pipe, buffer, picture->size, picture->size) == -1)
    return Failed("Could not get picture (3)", "Error in getfile 2\n");
  if (!ReceivePicture(pipe, buffer, picture->size, file->Fd())) return Fetched::kFailed;

  if (turn) {
    // Said now, after the picture's own line, whenever the turn itself comes.
    fprintf(stderr, "\n rotate %s\n", TurnAngle(picture->orientation));
    turns.Add(key, std::move(file), *name, picture->Copy());
    return Fetched::kTurning;
  }
  if (int error = file->Name(*name); error != 0) return Refused(NameFailure(error));
  return Fetched::kNamed;
}

bool TurnNamed(int error) {
  if (error == 0) return true;
  err_req(NameFailure(error));
  return false;
}

bool ixus_getfile(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture) {
  PictureTurns turns;
  Fetched fetched = GetPicture(device, buffer, path, picture, turns, 0);
  if (fetched != Fetched::kTurning) return fetched == Fetched::kNamed;
  return TurnNamed(turns.TakeAll().front().error);
}
