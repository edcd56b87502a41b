#include "camera/PictureTurn.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/Orientation.h"
#include "app/pic_Item.h"
#include "camera/DownloadFolder.h"
#include "camera/PictureAttributes.h"
#include "camera/PictureFile.h"
#include "exif/UprightExif.h"
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

// Has jpegtran write the turned picture into `turned` and makes it ready to be committed:
// the empty text and the turned picture's `size`, or why it is not.
std::string Turn(PictureFile& download, PictureFile& turned, const char* angle, JpegSize& size) {
  if (int error = turned.Create(); error != 0) return Reason("no file for jpegtran", error);
  kit::ProgramEnd end =
      kit::RunProgramToEnd({"jpegtran", "-copy", "all", "-trim", "-rotate", angle, "-outfile",
                            turned.HiddenPath(), download.HiddenPath()});
  if (end.status != 0) return RunFailure(end);

  // What jpegtran wrote into the file made for it, never through a link put in its place.
  int fd = turned.Fd();
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_nlink == 0)
    return "jpegtran's picture is no plain file";
  std::optional<JpegSize> frame = ReadJpegSize(fd);
  if (!frame) return "jpegtran's picture has no frame size";
  if (int error = MarkUpright(fd, download.Fd(), *frame); error != 0)
    return Reason("its EXIF block cannot say it is upright", error);
  size = *frame;
  return std::string();
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

Committed CommitTurnedPicture(PictureFile& download, const std::string& name, pic_Item* picture) {
  // A name taken meanwhile is never replaced, and then there is no use in turning.
  if (int state = NameState(download.Folder().Fd(), name); state != 0) return {state, true};
  PictureFile turned(download.Folder());
  JpegSize size;
  std::string why = Turn(download, turned, TurnAngle(picture->orientation), size);
  if (why.empty()) {
    std::optional<uint64_t> digest = DigestOfFile(turned.Fd());
    if (!digest) return {errno != 0 ? errno : EIO};
    // Typed as the file it now is, with the size its turned picture has.
    if (int error =
            TypePictureFile(turned.Fd(), picture, int32_t(size.width), int32_t(size.height));
        error != 0)
      return {error};
    return turned.Commit(name, *digest);
  }
  fprintf(stderr, "%s kept as stored, not turned: %s\n", name.c_str(), why.c_str());
  if (int error =
          TypePictureFile(download.Fd(), picture, int32_t(picture->xres), int32_t(picture->yres));
      error != 0)
    return {error};
  return download.Commit(name);
}
