#include "camera/PictureTurn.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "app/pic_Item.h"
#include "camera/PictureFile.h"
#include "exif/SetJPEGFileAttrs.h"
#include "kit/FileAttributes.h"
#include "kit/Spawn.h"

namespace {

const char* Angle(unsigned long orientation) {
  if (orientation == 6) return "90";
  if (orientation == 7) return "180";
  return "270";
}

}  // namespace

void TurnPicture(const std::string& name, const std::string& work, pic_Item* picture) {
  const char* angle = Angle(picture->orientation);
  fprintf(stderr, "\n rotate %s\n", angle);
  // jpegtran replaces whatever has the output's name; the name was free when the download
  // began, and must still be.
  if (NameState(name) != 0) return;
  int status = kit::RunProgram({"jpegtran", "-rotate", angle, "-outfile", name, work});
  if (status != 0) {
    // A run that failed may have left a turned file of its own; the work file is the picture.
    if (status > 0) unlink(name.c_str());
    return;
  }
  int fd = open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd != -1) {
    kit::SetMimeType(fd, "image/jpeg");
    SetJPEGFileAttrs(fd, picture);
    close(fd);
  }
  unlink(work.c_str());
}
