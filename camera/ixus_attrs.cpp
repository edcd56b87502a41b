// Commands on one picture named by its camera path: its attribute byte, and its deletion.
#include "camera/ixus_attrs.h"

#include <cstdio>
#include <cstring>

#include "camera/CameraHost.h"
#include "camera/ixus_command.h"

namespace {

constexpr unsigned char kSetAttrCode = 0x0E;
constexpr unsigned char kDeleteCode = 0x0D;
constexpr unsigned char kPictureClass = 0x11;
constexpr uint32_t kReplySize = 84;

// Builds the command whose payload is `lead` bytes (the first of them `first`), then the
// path split at its last backslash into folder and file name, each NUL-terminated. False
// when the path names no file in a folder or does not fit the buffer: nothing is sent then.
bool BuildPathCommand(unsigned char* buffer, unsigned char code, size_t lead, unsigned char first,
                      const char* path) {
  size_t path_length = strlen(path);
  const char* backslash = strrchr(path, '\\');
  size_t at = kCommandBlockSize + lead;
  if (backslash == nullptr || at + path_length + 1 > kCameraBufferSize) return false;
  ixus_fixedcmd(buffer, code, kPictureClass, lead + path_length + 1);
  if (lead != 0) buffer[kCommandBlockSize] = first;
  memcpy(buffer + at, path, path_length + 1);
  buffer[at + size_t(backslash - path)] = 0;
  return true;
}

}  // namespace

bool ixus_setattr(USBDevice* camera, unsigned char* buffer, const char* path,
                  unsigned char attributes) {
  if (ixus_inpipe(camera) == nullptr) return false;
  // The reply is read so that the next command finds the pipe empty; its status is not used.
  CommandOutcome outcome = CommandOutcome::kNotSent;
  if (BuildPathCommand(buffer, kSetAttrCode, 4, attributes, path))
    outcome = ixus_command(camera, buffer, kReplySize);
  if (outcome == CommandOutcome::kNotSent) fputs("Error in setattr.\n", stderr);
  if (outcome == CommandOutcome::kNoAnswer) fputs("Error in setattr 2.", stderr);
  return outcome == CommandOutcome::kAnswered;
}

long ixus_delete(USBDevice* camera, unsigned char* buffer, const char* path) {
  if (ixus_inpipe(camera) == nullptr) return -1;
  CommandOutcome outcome = CommandOutcome::kNotSent;
  if (BuildPathCommand(buffer, kDeleteCode, 0, 0, path))
    outcome = ixus_command(camera, buffer, kReplySize);
  if (outcome == CommandOutcome::kNotSent) fputs("Error in delete.\n", stderr);
  if (outcome == CommandOutcome::kNoAnswer) fputs("Error in delete 2.", stderr);
  return outcome == CommandOutcome::kAnswered ? long(ixus_le32(buffer + 80)) : -1;
}
