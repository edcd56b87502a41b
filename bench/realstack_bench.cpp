// The real USB stack's cost: the same work through libusb on an emulated usbfs node (the
// simulated camera behind umockdev's preload library) and on the simulated platform, both
// unpaced, in wall time, since the emulated camera answers on a thread of its own.
//   Thumbnails: the listing and every thumbnail of 100 pictures (items a second).
//   Download: one 8 MiB picture into a file (bytes a second).
// The ratio of the two rows of a pair is the stack's overhead. The Paced pairs do the same at
// USB full speed and report wire_ratio (not held to a limit here: on the real stack it
// includes the emulated kernel's round trips). Each row also gives the CPU
// time an iteration cost the emulator (the usbfs adapter's thread on the real stack, the
// simulated camera's answering on the simulated one) apart from pictrove's own: the rest of
// the process's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/WireRatio.h"
#include "camera/ixus_dir.h"
#include "camera/ixus_thumbs.h"
#include "kit/Platform.h"
#include "sim/GeneratedPicture.h"
#include "sim/Pacer.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "sim/usbfs/CameraTestbed.h"
#include "sim/usbfs/MockEnvironment.h"
#include "usb/USBDevice.h"

namespace {

constexpr const char* kNode = "/dev/bus/usb/001/002";
constexpr int kPictures = 100;
constexpr uint32_t kDownloadSize = 8 * 1024 * 1024;
constexpr const char* kDownloadPath = "D:\\DCIM\\101CANON\\IMG_9000.JPG";
constexpr const char* kDownloadName = "IMG_9000.JPG";

enum class Stack { kSimulated, kReal };

std::shared_ptr<sim::SimCamera> MakeCamera() {
  auto camera = std::make_shared<sim::SimCamera>();
  AddDemoPictures(*camera, kPictures);
  sim::PictureSpec large = sim::DemoPictures().front();
  large.name = kDownloadName;
  camera->AddFile("101CANON", sim::MakeGeneratedPicture(large, kDownloadSize));
  camera->KeepTransfers(false);
  return camera;
}

// The camera on one stack or the other, opened and configured.
struct Setup {
  explicit Setup(Stack stack) {
    if (stack == Stack::kReal) {
      testbed = std::make_unique<sim::CameraTestbed>(camera);
      testbed->Plug();
      platform = kit::MakeHostPlatform();
    } else {
      auto simulated = std::make_shared<sim::SimPlatform>();
      simulated->Bus().Plug(kNode, camera);
      platform = simulated;
    }
    Enter();
    device = std::make_unique<USBDevice>(kNode);
    device->SetConfiguration(device->ConfigurationAt(0));
  }

  void Enter() {
    kit::InstallPlatform(platform);
    SetCameraHost(&host);
    kit::SetAlertHandler(&alerts);
  }

  bool Load() {
    host.clear_list();
    ixus_direntry* listing = ixus_getdir(device.get(), host.CameraBuffer(), nullptr);
    if (listing == nullptr) return false;
    ixus_getthumbs(device.get(), host.CameraBuffer(), listing);
    ixus_freedir(listing);
    size_t thumbnails = 0;
    for (const auto& item : host.items) thumbnails += item->Thumbnail() != nullptr;
    return thumbnails == kPictures + 1 && alerts.shown == 0;
  }

  double EmulatorCpuSeconds() const {
    return testbed ? testbed->EmulatorCpuSeconds() : camera->EmulatorCpuSeconds();
  }

  bool Download() {
    return DownloadAndDiscard(device.get(), host, alerts, kDownloadPath, kDownloadSize);
  }

  std::shared_ptr<sim::SimCamera> camera = MakeCamera();
  std::unique_ptr<sim::CameraTestbed> testbed;
  std::shared_ptr<kit::Platform> platform;
  std::unique_ptr<USBDevice> device;
  BenchHost host;
  CountingAlerts alerts;
};

// One of each, kept to the end of the process: a process holds one testbed.
Setup& Shared(Stack stack) {
  static Setup* setups[2] = {};
  Setup*& setup = setups[int(stack)];
  if (setup == nullptr)
    setup = new Setup(stack);
  else
    setup->Enter();
  return *setup;
}

const char* Label(Stack stack) {
  return stack == Stack::kReal ? "real stack" : "simulated";
}

// Runs `work` once an iteration and reports the CPU it cost, the emulator's apart; when
// `paced`, at USB full speed, against its wire time.
template <typename Work>
void Measure(benchmark::State& state, Setup& setup, Work work, const char* failure, bool paced) {
  double process = 0, emulator = 0, wall = 0, wire = 0;
  for (auto _ : state) {
    setup.camera->PaceBulk(paced ? sim::kFullSpeedBytesPerSecond : 0);
    double process_start = ProcessSeconds(), emulator_start = setup.EmulatorCpuSeconds();
    auto start = std::chrono::steady_clock::now();
    bool ok = work();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    process += ProcessSeconds() - process_start;
    emulator += setup.EmulatorCpuSeconds() - emulator_start;
    wire += double(setup.camera->PacedBytes()) / double(sim::kFullSpeedBytesPerSecond);
    if (!ok) return state.SkipWithError(failure);
  }
  setup.camera->PaceBulk(0);
  double iterations = double(state.iterations());
  state.counters["emulator_cpu_ms"] = emulator * 1000 / iterations;
  state.counters["pictrove_cpu_ms"] = (process - emulator) * 1000 / iterations;
  if (paced) ReportWireRatio(state, wall, wire);
}

void Thumbnails(benchmark::State& state, bool paced) {
  Stack stack = Stack(state.range(0));
  Setup& setup = Shared(stack);
  Measure(
      state, setup, [&] { return setup.Load(); }, "the pictures did not all load", paced);
  state.SetItemsProcessed(state.iterations() * (kPictures + 1));
  state.SetLabel(Label(stack));
}

void Download(benchmark::State& state, bool paced) {
  Stack stack = Stack(state.range(0));
  Setup& setup = Shared(stack);
  Measure(
      state, setup, [&] { return setup.Download(); }, "the download failed", paced);
  state.SetBytesProcessed(state.iterations() * int64_t(kDownloadSize));
  state.SetLabel(Label(stack));
}

void BM_Thumbnails(benchmark::State& state) {
  Thumbnails(state, false);
}
void BM_Download(benchmark::State& state) {
  Download(state, false);
}
void BM_PacedThumbnails(benchmark::State& state) {
  Thumbnails(state, true);
}
void BM_PacedDownload(benchmark::State& state) {
  Download(state, true);
}
BENCHMARK(BM_Thumbnails)->Arg(int(Stack::kSimulated))->Arg(int(Stack::kReal))->UseRealTime();
BENCHMARK(BM_Download)->Arg(int(Stack::kSimulated))->Arg(int(Stack::kReal))->UseRealTime();
BENCHMARK(BM_PacedThumbnails)
    ->Arg(int(Stack::kSimulated))
    ->Arg(int(Stack::kReal))
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_PacedDownload)
    ->Arg(int(Stack::kSimulated))
    ->Arg(int(Stack::kReal))
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  sim::EnterMockEnvironment(argv);
  // The protocol's diagnostics go to standard error; keep them off the measurement.
  if (freopen("/dev/null", "w", stderr) == nullptr) return 1;
  ScratchFolder folder;  // downloads land here
  // wire_ratio is reported, not held: here it includes the emulated kernel's round trips.
  return RunBenchmarks(argc, argv, {"wire_ratio"});
}
