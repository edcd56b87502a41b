// Downloading one picture from the simulated camera into a file.
// (a) 4 MiB at USB full speed: wall time against the wire time (an error over kWireRatioLimit).
// (b) Unpaced: CPU time per MiB (target cpu_ms_per_MiB: at most 5 ms), beside what the
//     simulated camera itself spends making and handing out the same reply.
// (c) Peak memory of a 256 MiB download against a 1 MiB one (target apart_KiB: at most 2 MiB
//     apart), and of a 64 MiB movie with its thumbnail file against a 1 MiB one (target
//     movie_apart_KiB: below 2 MiB). The camera makes the files' bytes as they are read, so
//     what grows with the file can only be the download's: each size runs in a child of its
//     own and reports its peak resident size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/pic_Item.h"
#include "bench/BenchSupport.h"
#include "bench/Targets.h"
#include "bench/WireRatio.h"
#include "camera/CameraHost.h"
#include "camera/ixus_command.h"
#include "kit/Alert.h"
#include "kit/Platform.h"
#include "sim/DemoCard.h"
#include "sim/GeneratedPicture.h"
#include "sim/Pacer.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "usb/USBDevice.h"

namespace {

constexpr const char* kPath = "D:\\DCIM\\100CANON\\IMG_0001.JPG";
constexpr const char* kName = "IMG_0001.JPG";
constexpr uint32_t kMiB = 1024 * 1024;

constexpr const char* kMoviePath = "D:\\DCIM\\100CANON\\MVI_0001.AVI";
constexpr const char* kMovieThumbnailPath = "D:\\DCIM\\100CANON\\MVI_0001.THM";

// A camera holding one generated picture of `size` bytes.
std::shared_ptr<sim::SimCamera> CameraWith(uint32_t size) {
  auto camera = std::make_shared<sim::SimCamera>();
  sim::PictureSpec spec;
  spec.name = kName;
  camera->AddFile("100CANON", sim::MakeGeneratedPicture(spec, size));
  return camera;
}

// That camera plugged in and configured, and a scratch folder as the current one.
struct Setup : PluggedCamera {
  explicit Setup(uint32_t size) : PluggedCamera(CameraWith(size)), size(size) {}

  // One download, its progress reports adding up to the picture; the file is gone again
  // afterwards.
  bool Download() { return DownloadAndDiscard(device.get(), host, alerts, kPath, size); }

  uint32_t size;
  ScratchFolder folder;
};

// A camera holding a movie of `size` bytes and its thumbnail file, and the movie's row.
struct MovieSetup : PluggedCamera {
  static std::shared_ptr<sim::SimCamera> CameraWith(uint32_t size) {
    auto camera = std::make_shared<sim::SimCamera>();
    for (sim::CameraFile& file : sim::MakeMovieFiles("MVI_0001", size, 0))
      camera->AddFile("100CANON", std::move(file));
    return camera;
  }

  explicit MovieSetup(uint32_t size)
      : PluggedCamera(CameraWith(size)),
        record(kMoviePath, pic_Item::kNew, size, 0, nullptr, 0, 0) {
    record.kind = FileKind::kMovie;
    uint32_t thumbnail = camera->FindFile(kMovieThumbnailPath)->Size();
    record.companions.push_back({kMovieThumbnailPath, FileKind::kThumbnail, 0x20, thumbnail, 0});
  }

  bool Download() { return DownloadAndDiscard(device.get(), host, alerts, record); }

  pic_Item record;
  ScratchFolder folder;
};

void BM_PacedDownload(benchmark::State& state) {
  constexpr uint32_t kSize = 4 * kMiB;
  Setup setup(kSize);
  double wall = 0, wire = 0;
  for (auto _ : state) {
    setup.camera->PaceBulk(sim::kFullSpeedBytesPerSecond);  // counting starts afresh
    auto start = std::chrono::steady_clock::now();
    if (!setup.Download()) return state.SkipWithError("download failed");
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    wire += double(setup.camera->PacedBytes()) / double(sim::kFullSpeedBytesPerSecond);
  }
  ReportWireRatio(state, wall, wire);
}
BENCHMARK(BM_PacedDownload)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

constexpr uint32_t kUnpacedSize = 64 * kMiB;

void BM_UnpacedDownload(benchmark::State& state) {
  Setup setup(kUnpacedSize);
  double cpu = 0;
  for (auto _ : state) {
    double start = ProcessSeconds();
    if (!setup.Download()) state.SkipWithError("download failed");
    cpu += ProcessSeconds() - start;
  }
  state.counters["cpu_ms_per_MiB"] =
      cpu * 1000 / double(state.iterations()) / (kUnpacedSize / kMiB);
  state.SetBytesProcessed(int64_t(state.iterations()) * kUnpacedSize);
}
BENCHMARK(BM_UnpacedDownload)->Unit(benchmark::kMillisecond)->MinTime(2);

// The camera's own part of the above: the same command and reply, the data read and
// dropped through the camera buffer instead of going to a file.
void BM_CameraSideOnly(benchmark::State& state) {
  Setup setup(kUnpacedSize);
  unsigned char* buffer = setup.host.CameraBuffer();
  const USBEndpoint* pipe = ixus_inpipe(setup.device.get());
  double cpu = 0;
  for (auto _ : state) {
    double start = ProcessSeconds();
    // The picture command of a download, as the protocol builds it.
    int64_t length = -1;
    if (ixus_picturecmd(buffer, kPath, PictureReply::kFile) &&
        ixus_sendcmd(setup.device.get(), buffer) != -1)
      length = ixus_dataheader(pipe, buffer, 0, UINT32_MAX);
    if (length == -1) state.SkipWithError("reply not read");
    // The data, read off and dropped in the pieces a resynchronisation takes.
    ixus_resync(pipe, buffer, length);
    cpu += ProcessSeconds() - start;
  }
  state.counters["camera_side_cpu_ms_per_MiB"] =
      cpu * 1000 / double(state.iterations()) / (kUnpacedSize / kMiB);
}
BENCHMARK(BM_CameraSideOnly)->Unit(benchmark::kMillisecond)->MinTime(2);

// Peak resident size, in KiB, of a child that makes a setup and downloads with it; -1 when
// the download failed.
template <typename SetupType>
long PeakOfDownload(uint32_t size) {
  int ends[2];
  if (pipe(ends) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    bool ok;
    {
      SetupType setup(size);
      ok = setup.Download();
    }
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    long peak = ok ? usage.ru_maxrss : -1;
    _exit(write(ends[1], &peak, sizeof peak) == sizeof peak ? 0 : 1);
  }
  close(ends[1]);
  long peak = -1;
  if (read(ends[0], &peak, sizeof peak) != sizeof peak) peak = -1;
  close(ends[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return -1;
  return peak;
}

// The peaks of a small and a large download of the setup's kind, and how far apart they are.
template <typename SetupType>
void ReportPeaks(benchmark::State& state, uint32_t large_size, const std::string& prefix) {
  long small = 0, large = 0;
  for (auto _ : state) {
    small = PeakOfDownload<SetupType>(1 * kMiB);
    large = PeakOfDownload<SetupType>(large_size);
    if (small < 0 || large < 0) state.SkipWithError("download failed");
  }
  std::string large_name = std::to_string(large_size / kMiB) + "MiB_KiB";
  state.counters["peak_1MiB_KiB"] = double(small);
  state.counters["peak_" + large_name] = double(large);
  state.counters[prefix + "apart_KiB"] = double(large - small);
}

void BM_PeakMemory(benchmark::State& state) {
  ReportPeaks<Setup>(state, 256 * kMiB, "");
}
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_MoviePeakMemory(benchmark::State& state) {
  ReportPeaks<MovieSetup>(state, 64 * kMiB, "movie_");
}
BENCHMARK(BM_MoviePeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv);
}
