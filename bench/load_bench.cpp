// Loading a camera of 1000 pictures into the list: the listing, then one thumbnail command
// per picture with EXIF parsing and decoding, from the simulated camera at full speed.
// Targets (bench/Targets.h): at most 0.3 ms of CPU time a picture in a cold load
// (cpu_ms_per_picture), and no memory kept but the thumbnails (other_growth_per_picture_B: the
// growth of what the process holds in RAM, over the thumbnails' bytes, a picture).
// ColdLoad: the first load of a fresh camera in the process, at USB full speed, against the
// time the bus needs for its bytes (an error over kWireRatioLimit), and the CPU time a
// picture: pictrove's own, and apart from it the simulated camera's making of the replies.
#include <benchmark/benchmark.h>

#include <chrono>

#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "bench/BenchSupport.h"
#include "bench/WireRatio.h"
#include "camera/CameraHost.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "kit/Platform.h"
#include "sim/Pacer.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "usb/USBDevice.h"

namespace {

constexpr int kPictures = 1000;

// The demo pictures over and over, in folders of 100 as a camera numbers them.
std::shared_ptr<sim::SimCamera> MakeCamera() {
  auto camera = std::make_shared<sim::SimCamera>();
  AddDemoPictures(*camera, kPictures);
  return camera;
}

struct Setup : PluggedCamera {
  Setup() : PluggedCamera(MakeCamera()) {}

  bool Load() {
    ixus_direntry* listing = ixus_getdir(device.get(), host.CameraBuffer(), nullptr);
    ixus_getthumbs(device.get(), host.CameraBuffer(), listing);
    ixus_freedir(listing);
    return host.items.size() == size_t(kPictures);
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

// Runs first, so that nothing before it has warmed the heap or the decoder.
void BM_ColdLoad(benchmark::State& state) {
  double wall = 0, wire = 0, cpu = 0, emulator = 0, bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto setup = std::make_unique<Setup>();
    setup->camera->PaceBulk(sim::kFullSpeedBytesPerSecond);
    state.ResumeTiming();
    double cpu_start = ProcessSeconds();
    double emulator_start = setup->camera->EmulatorCpuSeconds();
    auto start = std::chrono::steady_clock::now();
    bool ok = setup->Load();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu += ProcessSeconds() - cpu_start;
    emulator += setup->camera->EmulatorCpuSeconds() - emulator_start;
    bytes += double(setup->camera->PacedBytes());
    wire += double(setup->camera->PacedBytes()) / double(sim::kFullSpeedBytesPerSecond);
    state.PauseTiming();
    setup.reset();
    state.ResumeTiming();
    if (!ok) return state.SkipWithError("pictures missing");
  }
  double loads = double(state.iterations());
  state.counters["cpu_ms_per_picture"] = (cpu - emulator) * 1000 / loads / kPictures;
  state.counters["emulator_cpu_ms_per_picture"] = emulator * 1000 / loads / kPictures;
  state.counters["bytes_per_picture"] = bytes / loads / kPictures;
  state.counters["fresh_page_us"] = FreshPageMicroseconds();
  ReportWireRatio(state, wall, wire);
}
BENCHMARK(BM_ColdLoad)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The protocol's diagnostic print goes to standard error; keep it off the measurement.
void QuietStandardError() {
  freopen("/dev/null", "w", stderr);
}

void BM_LoadCamera(benchmark::State& state) {
  Setup& setup = Shared();
  double growth = 0;
  size_t thumbnail_bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    setup.host.clear_list();
    size_t before = ResidentBytes();
    state.ResumeTiming();

    bool loaded = setup.Load();

    state.PauseTiming();
    growth = double(ResidentBytes()) - double(before);
    thumbnail_bytes = 0;
    for (const auto& item : setup.host.items)
      if (item->Thumbnail() != nullptr) thumbnail_bytes += item->Thumbnail()->BitsLength();
    if (!loaded) state.SkipWithError("pictures missing");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kPictures);
  // Seconds of CPU time a picture.
  state.counters["cpu_per_picture"] = benchmark::Counter(
      kPictures, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["memory_growth_MB"] = growth / 1e6;
  state.counters["thumbnails_MB"] = double(thumbnail_bytes) / 1e6;
  state.counters["other_growth_per_picture_B"] = (growth - double(thumbnail_bytes)) / kPictures;
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
  QuietStandardError();
  return RunBenchmarks(argc, argv);
}
