// The thumbnails of a listing's pictures against a camera whose every answer the input
// chooses: for each picture the thumbnail command, its reply header and length, the EXIF
// data read in pieces, and the thumbnail it carries decoded and turned.
//
// Input: the listing data (a 16-bit little-endian length and the bytes), parsed as the
// program parses a listing, then the camera's decisions (see FuzzCamera.h). Every record
// the list is given is checked (see FuzzHost.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "fuzz/FuzzCamera.h"
#include "fuzz/FuzzHost.h"
#include "usb/USBDevice.h"

namespace {

fuzzsupport::FuzzInput input;
fuzzsupport::FuzzHost* host;
std::unique_ptr<USBDevice> device;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  device = fuzzsupport::PlugFuzzCamera(input, "/dev/bus/usb/001/002", 0x3049);
  host = new fuzzsupport::FuzzHost;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  input.Reset(data, size);
  host->Reset();
  std::vector<uint8_t> listing = input.Block();
  ixus_direntry* first = ixus_parsedir(listing.data(), listing.size());
  host->clear_list();
  ixus_getthumbs(device.get(), host->CameraBuffer(), first);
  ixus_freedir(first);
  return 0;
}
