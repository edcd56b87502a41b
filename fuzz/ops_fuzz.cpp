// The picture and camera commands against a camera whose every answer the input chooses:
// each transfer may fail, deliver nothing, part of what was asked or all of it, and the
// reply bytes (lengths included) are the input's. Downloads go to a scratch folder; after
// each command the folder must hold exactly what the result promises, nothing half-made,
// and nothing may appear anywhere else.
//
// Input: commands one after the other, each an operation byte and its arguments; the
// device takes its decisions from the same bytes as the commands ask it. Texts are a
// 16-bit little-endian length and the bytes.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "camera/CameraHost.h"
#include "camera/ixus_attrs.h"
#include "camera/ixus_getfile.h"
#include "camera/ixus_info.h"
#include "kit/Alert.h"
#include "kit/Platform.h"
#include "sim/SimPlatform.h"
#include "usb/USBDevice.h"

namespace {

constexpr const char* kNode = "/dev/bus/usb/001/002";
// Reads answered with zeros for nothing from the input: enough for pictures of some size,
// few enough that no input writes much to the disk.
constexpr int kFillsPerInput = 64;

class Input {
 public:
  void Reset(const uint8_t* data, size_t size) {
    data_ = data;
    size_ = size;
    at_ = 0;
    fills_ = 0;
  }
  bool Empty() const { return at_ >= size_; }
  uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
  // Up to `length` bytes; fewer when the input ends.
  size_t Bytes(uint8_t* out, size_t length) {
    size_t n = std::min(length, size_ - std::min(at_, size_));
    if (n != 0) memcpy(out, data_ + at_, n);
    at_ += n;
    return n;
  }
  std::string Text() {
    size_t length = Byte();
    length |= size_t(Byte()) << 8;
    std::string text(std::min(length, size_ - std::min(at_, size_)), '\0');
    Bytes(reinterpret_cast<uint8_t*>(text.data()), text.size());
    text.resize(strlen(text.c_str()));  // the commands take C texts
    return text;
  }
  bool TakeFill() { return fills_ < kFillsPerInput && ++fills_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t at_ = 0;
  int fills_ = 0;
};

Input input;

// A camera with one bulk input pipe that answers as the input says. Control transfer: a
// byte, 0 fails it. Bulk read: a byte, 0 fails, 1 delivers nothing, 2 zeros for all that
// was asked, 3 all that was asked from the input, n > 3 at most n - 3 bytes of it. A read
// with the input used up fails.
class FuzzCamera : public sim::SimDevice {
 public:
  FuzzCamera()
      : SimDevice(sim::MakeDeviceSet(0x04A9, 0x3049,
                                     {sim::MakeEndpointDescriptor(0x81, sim::kBulk)}, u"Canon Inc.",
                                     u"Fuzzed camera")) {}

 protected:
  kit::RawReply HandleControl(const sim::ControlSetup&, uint8_t*, uint32_t*) override {
    return input.Byte() == 0 ? kit::RawReply::Failed() : kit::RawReply{};
  }
  kit::RawReply HandlePipe(sim::TransferKind, uint8_t, uint8_t* data, uint32_t* length) override {
    if (input.Empty()) return kit::RawReply::Failed();
    uint8_t decision = input.Byte();
    if (decision == 0) return kit::RawReply::Failed();
    if (decision == 1) {
      *length = 0;
    } else if (decision == 2 && input.TakeFill()) {
      memset(data, 0, *length);
    } else {
      size_t most = decision > 3 ? std::min<size_t>(*length, decision - 3u) : *length;
      *length = uint32_t(input.Bytes(data, most));
    }
    return {};
  }
};

class FuzzHost : public CameraHost {
 public:
  unsigned char* CameraBuffer() override { return buffer_.data(); }
  uint16_t ProductID() const override { return 0x3049; }
  void SetProductID(uint16_t) override {}
  void clear_list() override {}
  void add_item(pic_Item* item) override { delete item; }
  void sort_list() override {}
  void openstatus(uint64_t, const char*) override {}
  void closestatus() override {}
  void updatestatus(unsigned long, const char*) override {}
  CameraFacts& Facts() override { return facts_; }

 private:
  std::vector<unsigned char> buffer_ = std::vector<unsigned char>(kCameraBufferSize);
  CameraFacts facts_;
};

class QuietAlerts : public kit::AlertHandler {
 public:
  int Show(const kit::AlertRequest&) override { return 0; }
};

std::string watch;    // holds only the scratch folder and the empty program folder
std::string scratch;  // the current folder
std::unique_ptr<USBDevice> device;
FuzzHost host;
QuietAlerts alerts;

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
  bool ok = ixus_getfile(device.get(), host.CameraBuffer(), path.c_str(), &record);
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
  ixus_identify(device.get(), host.CameraBuffer());
  if (strnlen(host.Facts().cameramodel, 33) > 32 || strnlen(host.Facts().ownername, 203) > 200)
    abort();
}

void Power() {
  ixus_powerinfo(device.get(), host.CameraBuffer());
  if (host.Facts().powerflags > 3) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/ops_fuzz_XXXXXX";
  if (mkdtemp(pattern) == nullptr) abort();
  watch = pattern;
  scratch = watch + "/scratch";
  std::string programs = watch + "/bin";
  if (mkdir(scratch.c_str(), 0700) != 0 || mkdir(programs.c_str(), 0700) != 0 ||
      chdir(scratch.c_str()) != 0)
    abort();
  atexit([] {
    std::error_code error;
    std::filesystem::remove_all(watch, error);
  });
  // No jpegtran: turning is tried and fails at once, and no program runs on fuzzed files.
  setenv("PATH", programs.c_str(), 1);

  auto platform = std::make_shared<sim::SimPlatform>();
  kit::InstallPlatform(platform);
  auto camera = std::make_shared<FuzzCamera>();
  camera->KeepTransfers(false);
  platform->Bus().Plug(kNode, camera);
  device = std::make_unique<USBDevice>(kNode);
  if (device->SetConfiguration(device->ConfigurationAt(0)) != 0) abort();
  SetCameraHost(&host);
  kit::SetAlertHandler(&alerts);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  input.Reset(data, size);
  while (!input.Empty()) {
    switch (input.Byte() % 7) {
      case 0:
        Download();
        break;
      case 1: {
        std::string path = input.Text();
        ixus_setattr(device.get(), host.CameraBuffer(), path.c_str(), input.Byte());
        break;
      }
      case 2:
        ixus_delete(device.get(), host.CameraBuffer(), input.Text().c_str());
        break;
      case 3:
        Identify();
        break;
      case 4:
        ixus_setowner(device.get(), host.CameraBuffer(), input.Text().c_str());
        break;
      case 5:
        ixus_diskinfo(device.get(), host.CameraBuffer(), input.Text().c_str());
        break;
      case 6:
        Power();
        break;
    }
  }
  if (Names(watch) != std::set<std::string>{"bin", "scratch"} || !Names(watch + "/bin").empty())
    abort();
  EmptyScratch();
  return 0;
}
