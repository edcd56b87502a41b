#include "camera/PictureTurn.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/Orientation.h"
#include "app/pic_Item.h"
#include "camera/PictureFile.h"
#include "exif/SetJPEGFileAttrs.h"
#include "exif/UprightExif.h"
#include "kit/FileAttributes.h"
#include "kit/Spawn.h"

namespace {

std::string Reason(const char* what, int error) {
  return std::string(what) + " (" + strerror(error) + ")";
}

std::string RunFailure(const kit::ProgramEnd& end) {
  if (end.error == ENOENT) return "jpegtran not found (package libjpeg-turbo-progs)";
  if (end.error != 0) return Reason("jpegtran could not be run", end.error);
  if (end.signal != 0)
    return "jpegtran was killed by signal " + std::to_string(end.signal) + " (" +
           strsignal(end.signal) + ")";
  return "jpegtran exited with status " + std::to_string(end.status);
}

// Has jpegtran write the turned picture into `turned` and makes it ready to take the
// picture's name: the empty text, or why it is not.
std::string Turn(PictureFile& download, PictureFile& turned, const char* angle, pic_Item* picture) {
  if (int error = turned.Create(); error != 0) return Reason("no file for jpegtran", error);
  kit::ProgramEnd end = kit::RunProgramToEnd({"jpegtran", "-copy", "all", "-trim", "-rotate", angle,
                                              "-outfile", turned.Hidden(), download.Hidden()});
  if (end.status != 0) return RunFailure(end);

  // What jpegtran left under the hidden name, never through a link put in its place.
  int fd = open(turned.Hidden().c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd == -1) return Reason("jpegtran's picture cannot be opened", errno);
  int camera = open(download.Hidden().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  int camera_error = camera == -1 ? errno : 0;
  struct stat status;
  std::string why;
  std::optional<JpegSize> size;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
    why = "jpegtran's picture is no plain file";
  else if (size = ReadJpegSize(fd); !size)
    why = "jpegtran's picture has no frame size";
  else if (camera == -1)
    why = Reason("the downloaded picture cannot be read", camera_error);
  else if (int error = MarkUpright(fd, camera, *size); error != 0)
    why = Reason("its EXIF block cannot say it is upright", error);
  if (why.empty()) {
    kit::SetMimeType(fd, "image/jpeg");
    SetJPEGFileAttrs(fd, picture, int32_t(size->width), int32_t(size->height));
  }
  if (camera != -1) close(camera);
  close(fd);
  return why;
}

}  // namespace

const char* TurnAngle(unsigned long orientation) {
  switch (TurnFor(uint32_t(orientation))) {
    case UprightTurn::kQuarter:
      return "90";
    case UprightTurn::kHalf:
      return "180";
    default:
      return "270";
  }
}

int NameTurnedPicture(PictureFile& download, const std::string& name, pic_Item* picture) {
  const char* angle = TurnAngle(picture->orientation);
  // A name taken meanwhile is never replaced, and then there is no use in turning.
  if (int state = NameState(name); state != 0) return state;
  PictureFile turned;
  std::string why = Turn(download, turned, angle, picture);
  if (why.empty()) return turned.Name(name);
  fprintf(stderr, "%s kept as stored, not turned: %s\n", name.c_str(), why.c_str());
  return download.Name(name);
}
