// The targets the benchmarks state, each a counter that the run checks: a benchmark over one
// fails, and so does the program. bench/README.md names them with their limits.
#pragma once

#include <string>
#include <vector>

struct Target {
  const char* counter;  // the counter that measures it, per iteration
  bool at_most;         // whether the figure may not exceed the limit, else not fall below it
  double limit;
};

// Every stated target. A run that reports one of these counters is held to it.
inline constexpr Target kTargets[] = {
    {"wire_ratio", true, 1.02},                  // paced: measured time over the bus's own
    {"cpu_ms_per_picture", true, 0.3},           // load_bench: a cold load's CPU a picture
    {"other_growth_per_picture_B", true, 1024},  // load_bench: kept but thumbnails and records
    {"libexif_speedup", false, 10},              // exif_bench: the walk against libexif
    {"cpu_ms_per_MiB", true, 5},                 // download_bench: an unpaced download's CPU
    {"apart_KiB", true, 2048},                   // download_bench: 256 MiB against 1 MiB, peak
    {"movie_apart_KiB", true, 2048},             // download_bench: a 64 MiB movie against 1 MiB
    {"paint_ms", true, 5},                       // list_bench: a window of rows within a frame
};

// The target measured by `counter`; none when it measures no target.
const Target* FindTarget(const std::string& counter);

// Its limit: the table's, unless PICTROVE_BENCH_LIMIT in the environment gives another
// ("counter=limit", several joined by commas), as the test that a missed target fails does.
double LimitOf(const Target& target);

// Runs the benchmarks the command line selects and shows them as its flags choose
// (--benchmark_format, --benchmark_out ...). Returns 1 when any of them reported an error or
// missed a target: a single run's figure, or with repetitions their median's. Each miss is
// said on standard error (the one the program started with) as
//   FAILED <benchmark>: <counter> <figure> is over <limit>
// With PICTROVE_BENCH_TARGETS set in the environment every target's figure is said there too:
//   target <benchmark> <counter> <figure> <= <limit> ok
// The counters named in `unheld` are reported, not held.
int RunBenchmarks(int argc, char** argv, const std::vector<std::string>& unheld = {});
