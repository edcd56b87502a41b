// A whole download run at USB full speed, against the time the bus needs for the same bytes:
// the application's own run over a dozen 2 MB pictures, a third of them turned with jpegtran
// while the next one's data flows, and a 20 MB movie with its thumbnail file, each file
// written with its typed attributes and flagged as downloaded on the camera. The run is an error
// when it takes more than kWireRatioLimit times its wire time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchApp.h"
#include "bench/BenchSupport.h"
#include "bench/WireRatio.h"
#include "sim/DemoCard.h"
#include "sim/GeneratedPicture.h"
#include "sim/Pacer.h"
#include "sim/SimCamera.h"

namespace {

constexpr int kPictures = 12;
constexpr uint32_t kPictureSize = 2'000'000;
constexpr uint32_t kMovieSize = 20'000'000;
constexpr const char* kMovie = "MVI_0013.AVI";
constexpr const char* kMovieThumbnail = "MVI_0013.THM";

struct Picture {
  std::string name;
  uint16_t orientation;
};

// A third of the pictures stored turned, as a camera held on its side writes them.
std::vector<Picture> Pictures() {
  std::vector<Picture> pictures;
  for (int index = 0; index < kPictures; ++index) {
    char name[16];
    snprintf(name, sizeof name, "IMG_%04d.JPG", index + 1);
    uint16_t orientation = index % 3 == 2 ? (index % 2 ? 6 : 8) : 1;
    pictures.push_back({name, orientation});
  }
  return pictures;
}

std::shared_ptr<sim::SimCamera> CameraWith(const std::vector<Picture>& pictures) {
  auto camera = std::make_shared<sim::SimCamera>();
  for (const Picture& picture : pictures) {
    sim::PictureSpec spec;
    spec.name = picture.name;
    spec.width = 2048;  // a 3-megapixel camera's picture, for jpegtran's share
    spec.height = 1536;
    spec.orientation = picture.orientation;
    camera->AddFile("100CANON", sim::MakeGeneratedPicture(spec, kPictureSize));
  }
  for (sim::CameraFile& file : sim::MakeMovieFiles("MVI_0013", kMovieSize, 0))
    camera->AddFile("100CANON", std::move(file));
  return camera;
}

struct Setup {
  void RemoveFiles() {
    for (const Picture& picture : pictures) unlink(picture.name.c_str());
    unlink(kMovie);
    unlink(kMovieThumbnail);
  }

  std::vector<Picture> pictures = Pictures();
  std::shared_ptr<sim::SimCamera> camera = CameraWith(pictures);
  BenchApp application{camera};
  ScratchFolder folder;
};

void BM_DownloadFlow(benchmark::State& state) {
  Setup setup;
  if (!setup.application.Ready()) return state.SkipWithError("the camera was not read");
  double wall = 0, wire = 0;
  for (auto _ : state) {
    setup.camera->PaceBulk(sim::kFullSpeedBytesPerSecond);
    auto start = std::chrono::steady_clock::now();
    bool ok = setup.application.DownloadAll();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    wire += double(setup.camera->PacedBytes()) / double(sim::kFullSpeedBytesPerSecond);
    setup.RemoveFiles();
    if (!ok) return state.SkipWithError("a picture did not come whole");
  }
  ReportWireRatio(state, wall, wire);
}
BENCHMARK(BM_DownloadFlow)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The protocol's diagnostics go to standard error; keep them off the measurement.
  if (freopen("/dev/null", "w", stderr) == nullptr) return 1;
  return RunBenchmarks(argc, argv);
}
