// make_reply_seeds OUT_DIR: the seed corpora of startup_fuzz, listing_fuzz, thumbs_fuzz and
// upload_fuzz in OUT_DIR/startup/ and so on. Each seed is a conversation the program
// really has with the simulated camera: the target's leading bytes, then the camera's
// answers written as a fuzz camera's decisions.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "camera/ixus_dir.h"
#include "camera/ixus_init.h"
#include "camera/ixus_sendfile.h"
#include "camera/ixus_thumbs.h"
#include "fuzz/FuzzCamera.h"
#include "fuzz/FuzzHost.h"
#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "usb/USBDevice.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string out;
bool ok = true;
fuzzsupport::FuzzHost* host;
std::shared_ptr<sim::SimPlatform> platform;
int node = 1;

struct Plugged {
  std::shared_ptr<sim::SimCamera> camera;
  std::unique_ptr<USBDevice> device;
};

// A camera holding the first `pictures` demo pictures (the second is a quarter-turned one),
// in `folders` folders, plugged in and opened.
Plugged Plug(uint16_t product, size_t pictures, int folders = 1) {
  Plugged plugged{std::make_shared<sim::SimCamera>(product), nullptr};
  std::vector<sim::PictureSpec> specs = sim::DemoPictures();
  for (size_t i = 0; i < pictures; i++)
    plugged.camera->AddFile(
        i % folders == 0 ? "100CANON" : "101CANON",
        {specs[i].name, sim::kAttributeNew, specs[i].date, sim::MakePicture(specs[i])});
  char path[32];
  snprintf(path, sizeof path, "/dev/bus/usb/001/%03d", ++node);
  platform->Bus().Plug(path, plugged.camera);
  plugged.device = std::make_unique<USBDevice>(path);
  plugged.device->SetConfiguration(plugged.device->ConfigurationAt(0));
  return plugged;
}

Bytes Block(const Bytes& bytes) {
  Bytes block = {uint8_t(bytes.size()), uint8_t(bytes.size() >> 8)};
  block.insert(block.end(), bytes.begin(), bytes.end());
  return block;
}

Bytes Text(const std::string& text) {
  return Block(Bytes(text.begin(), text.end()));
}

// Writes the seed: `lead`, then the answers of the camera to what `talk` asks of it.
void Seed(const std::string& name, Bytes lead, Plugged& plugged,
          const std::function<void()>& talk) {
  host->Reset();
  plugged.camera->ClearTransfers();
  talk();
  auto answers = fuzzsupport::EncodeAnswers(plugged.camera->Transfers());
  if (!answers) {
    fprintf(stderr, "%s: a transfer the fuzz camera cannot repeat\n", name.c_str());
    ok = false;
    return;
  }
  lead.insert(lead.end(), answers->begin(), answers->end());
  std::ofstream file(out + name, std::ios::binary);
  file.write(reinterpret_cast<const char*>(lead.data()), std::streamsize(lead.size()));
  ok &= bool(file);
}

void StartupSeeds() {
  for (auto [name, lead, product, pictures] :
       {std::tuple{"startup/two_pictures", 0, sim::kDefaultCameraProduct, 2},
        std::tuple{"startup/empty", 0, sim::kDefaultCameraProduct, 0},
        std::tuple{"startup/g1", 1, kG1Product, 1}}) {
    Plugged plugged = Plug(product, size_t(pictures));
    Seed(name, {uint8_t(lead)}, plugged, [&] { ixus_init(plugged.device.get(), true); });
  }
}

void ListingSeeds() {
  Plugged one = Plug(sim::kDefaultCameraProduct, 2);
  auto list = [](Plugged& plugged, const char* path) {
    ixus_freedir(ixus_getdir(plugged.device.get(), host->CameraBuffer(), path));
  };
  Seed("listing/drive", Text("D:"), one, [&] { list(one, "D:"); });
  Seed("listing/default", Text(""), one, [&] { list(one, nullptr); });
  Plugged two = Plug(sim::kDefaultCameraProduct, 3, 2);
  Seed("listing/two_folders", Text("D:"), two, [&] { list(two, "D:"); });
}

// The listing data the camera sends: every read after the reply header's.
Bytes ListingData(Plugged& plugged) {
  plugged.camera->ClearTransfers();
  ixus_freedir(ixus_getdir(plugged.device.get(), host->CameraBuffer(), "D:"));
  Bytes data;
  bool header = true;
  for (const sim::TransferRecord& record : plugged.camera->Transfers()) {
    if (record.kind != sim::TransferKind::kBulk || !record.IsInput()) continue;
    if (!header) data.insert(data.end(), record.data.begin(), record.data.end());
    header = false;
  }
  return data;
}

void ThumbsSeeds() {
  Plugged plugged = Plug(sim::kDefaultCameraProduct, 2);
  Bytes data = ListingData(plugged);
  ixus_direntry* first = ixus_parsedir(data.data(), data.size());
  Seed("thumbs/two_pictures", Block(data), plugged, [&] {
    host->clear_list();
    ixus_getthumbs(plugged.device.get(), host->CameraBuffer(), first);
  });
  ixus_freedir(first);
}

void UploadSeeds() {
  std::string file = std::filesystem::temp_directory_path() / "make_reply_seeds.JPG";
  for (auto [name, size] : {std::pair{"upload/one_chunk", 500}, std::pair{"upload/chunks", 2000},
                            std::pair{"upload/empty", 0}}) {
    Plugged plugged = Plug(sim::kDefaultCameraProduct, 0);
    std::ofstream(file, std::ios::binary) << std::string(size_t(size), 'x');
    Seed(name, {uint8_t(size), uint8_t(size >> 8)}, plugged,
         [&] { ixus_sendfile(plugged.device.get(), host->CameraBuffer(), file.c_str()); });
  }
  std::filesystem::remove(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  out = std::string(argv[1]) + "/";
  for (const char* corpus : {"startup", "listing", "thumbs", "upload"})
    std::filesystem::create_directories(out + corpus);
  platform = std::make_shared<sim::SimPlatform>();
  kit::InstallPlatform(platform);
  host = new fuzzsupport::FuzzHost;
  StartupSeeds();
  ListingSeeds();
  ThumbsSeeds();
  UploadSeeds();
  return ok ? 0 : 1;
}
