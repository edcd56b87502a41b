#include "bench/BenchSupport.h"

#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "camera/PictureNames.h"
#include "camera/ixus_getfile.h"
#include "kit/Platform.h"
#include "sim/CpuTime.h"
#include "sim/PictureMaker.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "usb/USBDevice.h"

bool DownloadAndDiscard(USBDevice* device, BenchHost& host, const CountingAlerts& alerts,
                        const char* path, uint32_t size) {
  // The size is the listing's: the reply must be the picture to the byte.
  pic_Item record(path, pic_Item::kNew, size, 0, nullptr, 0, 0);
  record.set_Orientation(1);
  return DownloadAndDiscard(device, host, alerts, record);
}

bool DownloadAndDiscard(USBDevice* device, BenchHost& host, const CountingAlerts& alerts,
                        pic_Item& record) {
  host.reported = 0;
  bool ok = ixus_getfile(device, host.CameraBuffer(), record.GetName(), &record);
  unlink(LocalName(record.GetName()).value_or("").c_str());
  for (const Companion& companion : record.companions)
    unlink(LocalName(companion.name.c_str()).value_or("").c_str());
  return ok && alerts.shown == 0 && host.reported == record.TotalSize();
}

double ProcessSeconds() {
  return sim::CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}

size_t ResidentBytes() {
  size_t total = 0, resident = 0;
  FILE* statm = fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (fscanf(statm, "%zu %zu", &total, &resident) != 2) resident = 0;
  fclose(statm);
  return resident * size_t(sysconf(_SC_PAGESIZE));
}

double FreshPageMicroseconds() {
  constexpr size_t kPages = 2048;
  const size_t page = size_t(sysconf(_SC_PAGESIZE));
  void* start = mmap(nullptr, kPages * page, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (start == MAP_FAILED) return 0;
  auto* bytes = static_cast<volatile uint8_t*>(start);
  double before = sim::ThreadCpuSeconds();
  for (size_t i = 0; i < kPages; ++i) bytes[i * page] = 1;
  double spent = sim::ThreadCpuSeconds() - before;
  munmap(start, kPages * page);
  return spent * 1e6 / double(kPages);
}

void AddDemoPictures(sim::SimCamera& camera, int count) {
  std::vector<sim::PictureSpec> specs = sim::DemoPictures();
  std::vector<std::vector<uint8_t>> shapes;
  for (const sim::PictureSpec& spec : specs) shapes.push_back(sim::MakePicture(spec));
  for (int index = 0; index < count; ++index) {
    char name[24];  // room for any int, though a camera stops at 9999
    snprintf(name, sizeof name, "IMG_%04d.JPG", index + 1);
    std::string folder = std::to_string(100 + index / 100) + "CANON";
    camera.AddFile(folder, {name, sim::kAttributeNew,
                            specs[size_t(index) % specs.size()].date + uint32_t(index) * 97,
                            shapes[size_t(index) % shapes.size()]});
  }
}

PluggedCamera::PluggedCamera(std::shared_ptr<sim::SimCamera> held)
    : platform(std::make_shared<sim::SimPlatform>()), camera(std::move(held)) {
  camera->KeepTransfers(false);  // a benchmark's gigabytes are not kept
  kit::InstallPlatform(platform);
  platform->Bus().Plug("/dev/bus/usb/001/002", camera);
  device = std::make_unique<USBDevice>("/dev/bus/usb/001/002");
  device->SetConfiguration(device->ConfigurationAt(0));
  SetCameraHost(&host);
  kit::SetAlertHandler(&alerts);
}

PluggedCamera::~PluggedCamera() {
  kit::SetAlertHandler(nullptr);
  SetCameraHost(nullptr);
  device.reset();
  kit::InstallPlatform(nullptr);
}
