#include "camera/PictureData.h"

#include <cerrno>
#include <cstdio>

#include "camera/CameraHost.h"
#include "camera/PictureFile.h"
#include "camera/err_req.h"
#include "camera/ixus_command.h"
#include "usb/ReadAhead.h"

namespace {

constexpr uint32_t kPieceSize = 4096;
// The status window moves on after this many pieces, so that it is redrawn every 128 KiB
// rather than for every piece.
constexpr int kPiecesPerReport = 32;

}  // namespace

const char* WriteFailure(int error) {
  if (error == ENOSPC) return "The volume is full.";
  if (error == EEXIST) return "The file already exists.";
  return "Could not write to the file.";
}

bool ReceivePicture(const USBEndpoint* pipe, unsigned char* buffer, uint32_t length, int fd) {
  // The bus carries the next pieces while this one is written; a Cancel reads off the rest
  // within the same announcement.
  ReadAhead ahead(pipe, length, kPieceSize);
  uint32_t remaining = length;
  unsigned long reported = 0;
  int counter = 0;
  while (remaining != 0) {
    uint32_t piece = remaining < kPieceSize ? remaining : kPieceSize;
    if (Host().Cancelled()) {
      // Read off, so that the next command reads its own reply; a program that is ending
      // sends none, and must not wait for the rest of a large picture.
      if (!Host().Quitting()) ixus_resync(pipe, buffer, remaining);
      return false;
    }
    if (ixus_readfull(pipe, buffer, piece) == -1) {
      err_req("Transfer failed");
      fputs("\nError in transfer, please check the camera.\n", stderr);
      ixus_resync(pipe, buffer, kRestUnknown);
      return false;
    }
    if (int error = WriteAll(fd, buffer, piece); error != 0) {
      err_req(WriteFailure(error));
      ixus_resync(pipe, buffer, remaining - piece);
      return false;
    }
    remaining -= piece;
    reported += piece;
    // Checked before it is counted: the first report covers 33 pieces, the later ones 32.
    if (counter == kPiecesPerReport) {
      Host().updatestatus(reported, nullptr);
      reported = 0;
      counter = 0;
    }
    counter++;
  }
  if (length != 0) Host().updatestatus(reported, nullptr);
  return true;
}
