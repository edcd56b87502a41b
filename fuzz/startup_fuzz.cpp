// The start-up against a camera whose every answer the input chooses: the handshake, the
// flash device name, the listing, and each picture's thumbnail reply and its decoding.
//
// Input: a byte that picks the camera (even: one that names its drive; odd: the G1, which
// is not asked), then the camera's decisions (see FuzzCamera.h). Every record the list is
// given is checked (see FuzzHost.h); the drive name must stay a text of its array.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "camera/ixus_init.h"
#include "fuzz/FuzzCamera.h"
#include "fuzz/FuzzHost.h"
#include "usb/USBDevice.h"

namespace {

constexpr uint16_t kNamingProduct = 0x3049;

fuzzsupport::FuzzInput input;
fuzzsupport::FuzzHost* host;
std::unique_ptr<USBDevice> naming;
std::unique_ptr<USBDevice> g1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  naming = fuzzsupport::PlugFuzzCamera(input, "/dev/bus/usb/001/002", kNamingProduct);
  g1 = fuzzsupport::PlugFuzzCamera(input, "/dev/bus/usb/001/003", kG1Product);
  host = new fuzzsupport::FuzzHost;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  input.Reset(data, size);
  host->Reset();
  flashdevice[0] = '\0';
  USBDevice* camera = input.Byte() % 2 == 0 ? naming.get() : g1.get();
  ixus_init(camera, true);
  if (host->ProductID() != camera->ProductID()) abort();
  if (strnlen(flashdevice, sizeof flashdevice) == sizeof flashdevice) abort();
  return 0;
}
