#include "camera/PictureData.h"

#include <cerrno>
#include <cstdio>

#include "camera/CameraHost.h"
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

const char* ReceivePicture(const USBEndpoint* pipe, unsigned char* buffer, uint32_t length,
                           const PieceSink& sink) {
  // The bus carries the next pieces while this one is written; a Cancel reads off the rest
  // within the same announcement.
  ReadAhead ahead(pipe, length, kPieceSize);
  uint32_t remaining = length;
  unsigned long reported = 0;
  int counter = 0;
  int empty = 0;
  while (remaining != 0) {
    if (Host().Cancelled()) {
      // Read off, so that the next command reads its own reply; a program that is ending
      // sends none, and must not wait for the rest of a large picture.
      if (!Host().Quitting()) ixus_resync(pipe, buffer, remaining);
      return "";
    }
    // A short read is what the camera had: the next read asks for what is left of the
    // picture, never for the rest of a piece, which a full packet could overflow.
    uint32_t piece = remaining < kPieceSize ? remaining : kPieceSize;
    ssize_t got = ixus_readsome(pipe, buffer, piece, empty);
    if (got == -1) {
      fputs("\nError in transfer, please check the camera.\n", stderr);
      ixus_resync(pipe, buffer, kRestUnknown);
      return "Transfer failed";
    }
    if (int error = sink(buffer, size_t(got)); error != 0) {
      ixus_resync(pipe, buffer, remaining - uint32_t(got));
      return WriteFailure(error);
    }
    remaining -= uint32_t(got);
    reported += uint32_t(got);
    // Checked before it is counted: the first report covers 33 pieces, the later ones 32.
    if (counter == kPiecesPerReport) {
      Host().updatestatus(reported, nullptr);
      reported = 0;
      counter = 0;
    }
    counter++;
  }
  if (length != 0) Host().updatestatus(reported, nullptr);
  return nullptr;
}
