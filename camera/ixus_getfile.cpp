// Downloading one picture: a hidden file in the current folder gets the data and, once it is
// complete, the picture's name (turned upright first, when its orientation asks for it).
#include "camera/ixus_getfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "camera/PictureData.h"
#include "camera/PictureFile.h"
#include "camera/PictureNames.h"
#include "camera/PictureTurn.h"
#include "camera/err_req.h"
#include "camera/ixus_command.h"
#include "exif/SetJPEGFileAttrs.h"
#include "kit/FileAttributes.h"

namespace {

constexpr unsigned char kPictureCode = 1;
constexpr unsigned char kPictureClass = 0x11;
constexpr uint32_t kSendFile = 0;
constexpr uint32_t kPieceWord = 0x1400;
constexpr size_t kCommandSize = 89;  // the block, two payload words and the path's terminator

bool Refused(const char* alert) {
  err_req(alert);
  return false;
}

bool Failed(const char* alert, const char* line) {
  err_req(alert);
  fputs(line, stderr);
  return false;
}

const char* NameFailure(int error) {
  return error == EEXIST ? "The file already exists." : "Could not create the file.";
}

bool SendPictureCommand(USBDevice* device, unsigned char* buffer, const char* path) {
  size_t path_length = strlen(path);
  if (path_length + kCommandSize > kCameraBufferSize) return false;
  memset(buffer, 0, path_length + kCommandSize);
  fillcmdblk(buffer, path_length + 25, kPictureCode, kPictureClass, kDataReply, kCommandTag);
  ixus_putle32(buffer + 80, kSendFile);
  ixus_putle32(buffer + 84, kPieceWord);
  memcpy(buffer + 88, path, path_length + 1);
  return ixus_sendcmd(device, buffer) != -1;
}

}  // namespace

bool ixus_getfile(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture) {
  std::optional<std::string> name = LocalName(path);
  if (!name) return Refused("Could not create the file.");
  bool turn = NeedsTurn(picture->orientation);
  if (int state = NameState(*name); state != 0) return Refused(NameFailure(state));

  PictureFile file;
  if (file.Create() != 0) return Refused("Could not create the file.");
  kit::SetMimeType(file.Fd(), "image/jpeg");
  SetJPEGFileAttrs(file.Fd(), picture);

  const USBEndpoint* pipe = ixus_inpipe(device);
  if (pipe == nullptr) return Failed("Could not get picture (1)", "Error in getfile 0\n");
  if (!SendPictureCommand(device, buffer, path))
    return Failed("Could not get picture (2)", "Error in getfile 1\n");
  // The data must be the picture the listing gave, to the byte: any other length is a
  // reply to something else, or a picture cut short.
  if (ixus_dataheader(pipe, buffer, picture->size, picture->size) == -1)
    return Failed("Could not get picture (3)", "Error in getfile 2\n");
  if (!ReceivePicture(pipe, buffer, picture->size, file.Fd())) return false;

  int error = turn ? NameTurnedPicture(file, *name, picture) : file.Name(*name);
  if (error != 0) return Refused(NameFailure(error));
  return true;
}
