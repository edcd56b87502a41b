// The listing command against a camera whose every answer the input chooses: the reply
// header with its length, then the listing data in pieces, any read failing, empty or
// short. Listings follow each other while the input lasts, so that what one leaves in the
// pipe meets the next.
//
// Input: listings one after the other, each the path asked for (a 16-bit little-endian
// length and the bytes; empty asks for the default) and the camera's decisions (see
// FuzzCamera.h). Whatever arrives, each list must be sound (see ListingCheck.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "camera/ixus_dir.h"
#include "fuzz/FuzzCamera.h"
#include "fuzz/FuzzHost.h"
#include "fuzz/ListingCheck.h"
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
  while (!input.Empty()) {
    std::string path = input.Text();
    ixus_direntry* first =
        ixus_getdir(device.get(), host->CameraBuffer(), path.empty() ? nullptr : path.c_str());
    fuzzsupport::CheckListing(first);
    ixus_freedir(first);
  }
  return 0;
}
