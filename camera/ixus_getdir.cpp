// The listing command: asks the camera for everything on its storage and reads the reply.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "camera/CameraHost.h"
#include "camera/ixus_command.h"
#include "camera/ixus_dir.h"
#include "usb/ReadAhead.h"

namespace {

constexpr unsigned char kListCode = 11;
constexpr unsigned char kListClass = 0x11;
constexpr uint32_t kPieceSize = 1024;
// No camera's listing comes near this; a larger length is a broken header, not a listing.
constexpr uint32_t kMaxListing = 64u << 20;

// The command and its payload: 0x02, the path and its terminator, two zero bytes.
bool SendListCommand(USBDevice* device, unsigned char* buffer, const char* path,
                     size_t path_length) {
  memset(buffer, 0, path_length + 84);
  fillcmdblk(buffer, path_length + 20, kListCode, kListClass, kDataReply, kListingTag);
  buffer[80] = 0x02;
  memcpy(buffer + 81, path, path_length);
  return ixus_sendcmd(device, buffer) != -1;
}

}  // namespace

ixus_direntry* ixus_getdir(USBDevice* device, unsigned char* buffer, const char* path) {
  const USBEndpoint* pipe = ixus_inpipe(device);
  if (pipe == nullptr) return nullptr;
  if (path == nullptr) path = "D:";
  fprintf(stderr, "getdir path: %s\n", path);
  // A path the camera buffer cannot hold is never sent, so no reply is waited for either.
  size_t path_length = strlen(path);
  if (path_length + 84 > kCameraBufferSize) {
    fputs("Error in getdir 1\n", stderr);
    return nullptr;
  }
  if (!SendListCommand(device, buffer, path, path_length)) {
    fputs("Error in getdir 1\n", stderr);
    return nullptr;
  }
  int64_t length = ixus_dataheader(pipe, buffer, 0, kMaxListing);
  if (length == -1) {
    fputs("Error in getdir 2\n", stderr);
    return nullptr;
  }
  if (length == 0) return nullptr;  // a drive the camera does not have
  auto* data = static_cast<unsigned char*>(malloc(size_t(length)));
  if (data == nullptr) {
    fputs("Could not malloc directory buffer.\n", stderr);
    ixus_resync(pipe, buffer, length);
    return nullptr;
  }

  ReadAhead ahead(pipe, uint64_t(length), kPieceSize);
  uint32_t done = 0;
  while (done < length) {
    uint32_t piece = length - done < kPieceSize ? uint32_t(length - done) : kPieceSize;
    uint32_t received = 0;
    if (ixus_readfull(pipe, data + done, piece, &received) == -1) {
      fprintf(stderr, "Could not get the directory listing (%d/%ld).\n", int(done + received),
              long(length));
      free(data);
      ixus_resync(pipe, buffer, kRestUnknown);
      return nullptr;
    }
    done += piece;
  }
  ixus_direntry* first = ixus_parsedir(data, static_cast<unsigned long>(length));
  free(data);
  return first;
}
