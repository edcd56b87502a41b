// Loading a camera of 1000 pictures into the list: the listing, then one thumbnail command
// per picture with EXIF parsing and decoding, from the simulated camera at full speed.
// Targets: under 1 ms of CPU time a picture, and no memory kept but the thumbnails.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "bench/BenchSupport.h"
#include "camera/CameraHost.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "kit/Platform.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "usb/USBDevice.h"

namespace {

constexpr int kPictures = 1000;
constexpr const char* kNode = "/dev/bus/usb/001/002";

// The demo pictures over and over, in folders of 100 as a camera numbers them.
std::shared_ptr<sim::SimCamera> MakeCamera() {
  auto camera = std::make_shared<sim::SimCamera>();
  AddDemoPictures(*camera, kPictures);
  camera->KeepTransfers(false);
  return camera;
}

struct Setup {
  std::shared_ptr<sim::SimPlatform> platform = std::make_shared<sim::SimPlatform>();
  std::shared_ptr<sim::SimCamera> camera = MakeCamera();
  std::unique_ptr<USBDevice> device;
  BenchHost host;

  Setup() {
    kit::InstallPlatform(platform);
    platform->Bus().Plug(kNode, camera);
    device = std::make_unique<USBDevice>(kNode);
    device->SetConfiguration(device->ConfigurationAt(0));
    SetCameraHost(&host);
  }
  ~Setup() {
    SetCameraHost(nullptr);
    device.reset();
    kit::InstallPlatform(nullptr);
  }

  void Load() {
    ixus_direntry* listing = ixus_getdir(device.get(), host.CameraBuffer(), nullptr);
    ixus_getthumbs(device.get(), host.CameraBuffer(), listing);
    ixus_freedir(listing);
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

// The protocol's diagnostic print goes to standard error; keep it off the measurement.
void QuietStandardError() {
  freopen("/dev/null", "w", stderr);
}

void BM_LoadCamera(benchmark::State& state) {
  Setup& setup = Shared();
  size_t heap_growth = 0, thumbnail_bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    setup.host.clear_list();
    size_t before = mallinfo2().uordblks;
    state.ResumeTiming();

    setup.Load();

    state.PauseTiming();
    heap_growth = mallinfo2().uordblks - before;
    thumbnail_bytes = 0;
    for (const auto& item : setup.host.items)
      if (item->Thumbnail() != nullptr) thumbnail_bytes += item->Thumbnail()->BitsLength();
    if (setup.host.items.size() != size_t(kPictures)) state.SkipWithError("pictures missing");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kPictures);
  // Seconds of CPU time a picture.
  state.counters["cpu_per_picture"] = benchmark::Counter(
      kPictures, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["heap_growth_MB"] = double(heap_growth) / 1e6;
  state.counters["thumbnails_MB"] = double(thumbnail_bytes) / 1e6;
  state.counters["other_growth_per_picture_B"] =
      (double(heap_growth) - double(thumbnail_bytes)) / kPictures;
}
BENCHMARK(BM_LoadCamera)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The listing alone: one command and about 23 KB in pieces of 1024 bytes.
void BM_Listing(benchmark::State& state) {
  Setup& setup = Shared();
  for (auto _ : state) {
    ixus_direntry* listing = ixus_getdir(setup.device.get(), setup.host.CameraBuffer(), nullptr);
    benchmark::DoNotOptimize(listing);
    ixus_freedir(listing);
  }
}
BENCHMARK(BM_Listing)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  QuietStandardError();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
