// The upload: the file goes to the camera in chunks, each announced on the control pipe and
// then sent as a data block on the bulk output pipe; the camera answers both.
#include "camera/ixus_sendfile.h"

#include <cstdio>

#include "camera/CameraHost.h"
#include "camera/UploadBlocks.h"
#include "camera/UploadProgress.h"
#include "camera/UploadSource.h"
#include "camera/err_req.h"
#include "camera/ixus_attrs.h"
#include "camera/ixus_command.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

namespace {

// A data block gives its chunk's offset in 32 bits: bytes past that could not be placed.
constexpr uint64_t kMaxUploadSize = UINT32_MAX;

struct Pipes {
  const USBEndpoint* input;
  const USBEndpoint* output;
};

// A failure once the status window is open: it closes before the user is told.
bool Fail(const char* message) {
  Host().closestatus();
  err_req(message);
  return false;
}

// One chunk, announced, sent and answered; the error to show, or none, with the input pipe
// back in step. A transfer that moves fewer bytes than the block holds has lost part of the
// file, so it fails as well.
const char* SendChunk(USBDevice* camera, const Pipes& pipes, unsigned char* buffer,
                      const unsigned char* chunk, size_t n, uint32_t* sent) {
  BuildAnnouncement(buffer, UploadBlockLength(n));
  if (camera->ControlTransfer(0x40, ixus_request(kAnnouncementSize), 0x10, 0, kAnnouncementSize,
                              buffer) != ssize_t(kAnnouncementSize)) {
    ixus_resync(pipes.input, buffer, kRestUnknown);
    return "Could not send picture (3)";
  }
  if (!ixus_fixedreply(pipes.input, buffer, kAnnouncementAnswerSize, kUploadCode))
    return "Could not send picture (4)";
  uint32_t size = BuildDataBlock(buffer, *sent, chunk, n);
  if (pipes.output->BulkTransfer(buffer, size) != ssize_t(size)) {
    ixus_resync(pipes.input, buffer, kRestUnknown);
    return "Could not send picture (5)";
  }
  *sent += uint32_t(n);
  Host().updatestatus(n, nullptr);
  if (!ixus_fixedreply(pipes.input, buffer, kDataBlockAnswerSize, kUploadCode))
    return "Could not send picture (6)";
  // A card without room for the chunk answers it with a failure status.
  if (ixus_le32(buffer + kCommandBlockSize) != 0)
    return "The camera did not store the picture: its card may be full.";
  return nullptr;
}

}  // namespace

bool ixus_sendfile(USBDevice* camera, unsigned char* buffer, const char* path) {
  UploadSource source;
  if (path == nullptr || !source.Open(path)) {
    err_req("Could not open the file");
    return false;
  }
  if (source.Size() > kMaxUploadSize) {
    err_req("The file is too large for the camera");
    return false;
  }
  const char* text = UploadProgressText(reinterpret_cast<char*>(buffer), path);
  Host().openstatus(source.Size(), text);
  Host().updatestatus(0, text);

  Pipes pipes{ixus_inpipe(camera), ixus_pipe(camera, 1)};
  if (pipes.input == nullptr) return Fail("Could not send picture (1)");
  if (pipes.output == nullptr) return Fail("Could not send picture (2)");
  fprintf(stderr, "oept: %s %s\n", pipes.output->IsBulk() ? "bulk" : "not bulk",
          pipes.output->IsInput() ? "no output" : "output");
  if (pipes.output->IsInput() || !pipes.output->IsBulk())
    return Fail("Error: no output bulk endpoint!!");

  // Once any part of the file may have reached the camera, a failure deletes it again while
  // the camera still answers: a picture cut short is one no camera can show.
  unsigned char chunk[kUploadChunkSize];
  uint32_t sent = 0;
  for (;;) {
    ssize_t n = source.ReadChunk(chunk, sizeof chunk);
    if (n <= 0) {
      // A file that cannot be read to its end, or not as the size it had, is not sent whole.
      if (n == -1) {
        if (sent != 0) ixus_delete(camera, buffer, kUploadPath);
        return Fail("Could not read the file to upload.");
      }
      Host().closestatus();
      return true;
    }
    if (const char* error = SendChunk(camera, pipes, buffer, chunk, size_t(n), &sent)) {
      ixus_delete(camera, buffer, kUploadPath);
      return Fail(error);
    }
  }
}
