// The upload against a camera whose every answer the input chooses: each chunk's
// announcement and the camera's answer to it, the data block and the answer to that, any of
// them failing, empty or short.
//
// Input: the file's size (a 16-bit little-endian number modulo kMaxFile), then the camera's
// decisions (see FuzzCamera.h). When the upload returns its status window is closed, and
// an upload that says it succeeded has counted the whole file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "camera/ixus_sendfile.h"
#include "fuzz/FuzzCamera.h"
#include "fuzz/FuzzHost.h"
#include "tests/support/ScratchFolder.h"
#include "usb/USBDevice.h"

namespace {

// A few chunks and their edges; larger files only repeat them.
constexpr uint16_t kMaxFile = 4096;

fuzzsupport::FuzzInput input;
fuzzsupport::FuzzHost* host;
std::unique_ptr<USBDevice> device;
std::string file;

void WriteFile(size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  std::vector<char> bytes(size, 'x');
  out.write(bytes.data(), std::streamsize(size));
  if (!out) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  file = testsupport::MakeScratchFolder("upload_fuzz_", testsupport::Removal::kAtExit) +
         "/IMG_1205.JPG";
  device = fuzzsupport::PlugFuzzCamera(input, "/dev/bus/usb/001/002", 0x3049);
  host = new fuzzsupport::FuzzHost;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  input.Reset(data, size);
  host->Reset();
  size_t length = input.Word() % kMaxFile;
  WriteFile(length);
  bool sent = ixus_sendfile(device.get(), host->CameraBuffer(), file.c_str());
  if (host->StatusOpen()) abort();
  if (sent && (host->StatusTotal() != length || host->StatusDone() != length)) abort();
  return 0;
}
