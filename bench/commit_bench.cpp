// What making a downloaded 2 MB picture durable costs on this machine's drive: the flush of its
// data, then the read-back from the drive against its digest. Both run beside the next
// picture's transfer, so they cost bus time only when they take longer than it (1.6 s).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/DownloadFolder.h"
#include "camera/PictureFile.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr size_t kPictureSize = 2'000'000;
constexpr size_t kPiece = 4096;

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void BM_CommitPicture(benchmark::State& state) {
  testsupport::ScratchFolder scratch;
  DownloadFolder folder;
  if (folder.Open(scratch.Path()) != 0) return state.SkipWithError("no folder");
  std::vector<unsigned char> data(kPictureSize);
  for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<unsigned char>(i * 131 + 7);
  double commit_ms = 0, readback_ms = 0;
  int pictures = 0;
  for (auto _ : state) {
    PictureFile file(folder);
    if (file.Create() != 0) return state.SkipWithError("no work file");
    for (size_t at = 0; at < data.size(); at += kPiece)
      if (file.Append(data.data() + at, std::min(kPiece, data.size() - at)) != 0)
        return state.SkipWithError("a write failed");
    auto start = std::chrono::steady_clock::now();
    std::string name = "IMG_" + std::to_string(pictures) + ".JPG";
    if (file.Commit(name).error != 0) return state.SkipWithError("the commit failed");
    commit_ms += Since(start);
    // The read-back alone, as the commit does it, once more from the drive.
    int fd = openat(folder.Fd(), name.c_str(), O_RDONLY | O_CLOEXEC);
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    start = std::chrono::steady_clock::now();
    bool same = DigestOfFile(fd) == file.Digest();
    readback_ms += Since(start);
    close(fd);
    unlinkat(folder.Fd(), name.c_str(), 0);
    if (!same) return state.SkipWithError("the file read back differs");
    pictures++;
  }
  state.counters["commit_ms_per_picture"] = commit_ms / pictures;
  state.counters["readback_ms_per_picture"] = readback_ms / pictures;
}
BENCHMARK(BM_CommitPicture)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
