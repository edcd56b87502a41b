// The picture and camera commands against a camera whose every answer the input chooses:
// each transfer may fail, deliver nothing, part of what was asked or all of it, and the
// reply bytes (lengths included) are the input's. Downloads go to a scratch folder; after
// each command the folder must hold exactly what the result promises, nothing half-made,
// and nothing may appear anywhere else.
//
// Input: commands one after the other, each an operation byte and its arguments; the
// device (see FuzzCamera.h) takes its decisions from the same bytes as the commands ask it.
// Texts are a 16-bit little-endian length and the bytes.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/ixus_attrs.h"
#include "camera/ixus_clock.h"
#include "camera/ixus_getfile.h"
#include "camera/ixus_info.h"
#include "fuzz/FuzzCamera.h"
#include "fuzz/FuzzHost.h"
#include "tests/support/ScratchFolder.h"
#include "usb/USBDevice.h"

namespace {

using fuzzsupport::FuzzHost;
using fuzzsupport::FuzzInput;

FuzzInput input;
std::string watch;    // holds only the scratch folder and the empty program folder
std::string scratch;  // the current folder
std::unique_ptr<USBDevice> device;
FuzzHost* host;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) abort();
  while (dirent* entry = readdir(dir))
    if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
      names.insert(entry->d_name);
  closedir(dir);
  return names;
}

void EmptyScratch() {
  for (const std::string& name : Names(scratch))
    if (unlink(name.c_str()) != 0) abort();  // a folder made by a download fails here
}

void Download() {
  std::string path = input.Text();
  pic_Item record;
  record.set_Name(path.c_str());
  record.set_Orientation(input.Byte());
  std::set<std::string> before = Names(scratch);
  bool ok = ixus_getfile(device.get(), host->CameraBuffer(), path.c_str(), &record);
  std::set<std::string> after = Names(scratch);
  std::string name = path.substr(path.rfind('\\') == std::string::npos ? 0 : path.rfind('\\') + 1);
  if (!ok && after != before) abort();  // a failure leaves nothing behind
  if (ok) {
    // Exactly one new file, the picture under its own name (unturned: jpegtran is missing).
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    if (added != std::vector<std::string>{name}) abort();
  }
}

void Identify() {
  ixus_identify(device.get(), host->CameraBuffer());
  if (strnlen(host->Facts().cameramodel, 33) > 32 || strnlen(host->Facts().ownername, 203) > 200)
    abort();
}

void Power() {
  ixus_powerinfo(device.get(), host->CameraBuffer());
  if (host->Facts().powerflags > 3) abort();
}

// A reply that is not the clock's, whole, with status 0, gives no time.
void ReadClock() {
  uint32_t seconds = 0x5A5A5A5A;
  if (!ixus_getclock(device.get(), host->CameraBuffer(), &seconds) && seconds != 0x5A5A5A5A)
    abort();
}

void SetClock() {
  uint32_t seconds = uint32_t(input.Word()) | uint32_t(input.Word()) << 16;
  int64_t status = ixus_setclock(device.get(), host->CameraBuffer(), seconds);
  if (status < -1 || status > int64_t(UINT32_MAX)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  watch = testsupport::MakeScratchFolder("ops_fuzz_", testsupport::Removal::kAtExit);
  scratch = watch + "/scratch";
  std::string programs = watch + "/bin";
  if (mkdir(scratch.c_str(), 0700) != 0 || mkdir(programs.c_str(), 0700) != 0 ||
      chdir(scratch.c_str()) != 0)
    abort();
  // No jpegtran: turning is tried and fails at once, and no program runs on fuzzed files.
  setenv("PATH", programs.c_str(), 1);
  device = fuzzsupport::PlugFuzzCamera(input, "/dev/bus/usb/001/002", 0x3049);
  host = new FuzzHost;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  input.Reset(data, size);
  while (!input.Empty()) {
    switch (input.Byte() % 9) {
      case 0:
        Download();
        break;
      case 1: {
        std::string path = input.Text();
        ixus_setattr(device.get(), host->CameraBuffer(), path.c_str(), input.Byte());
        break;
      }
      case 2:
        ixus_delete(device.get(), host->CameraBuffer(), input.Text().c_str());
        break;
      case 3:
        Identify();
        break;
      case 4:
        ixus_setowner(device.get(), host->CameraBuffer(), input.Text().c_str());
        break;
      case 5:
        ixus_diskinfo(device.get(), host->CameraBuffer(), input.Text().c_str());
        break;
      case 6:
        Power();
        break;
      case 7:
        ReadClock();
        break;
      case 8:
        SetClock();
        break;
    }
  }
  if (Names(watch) != std::set<std::string>{"bin", "scratch"} || !Names(watch + "/bin").empty())
    abort();
  EmptyScratch();
  return 0;
}
