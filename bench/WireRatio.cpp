#include "bench/WireRatio.h"

#include <cstdio>
#include <vector>

namespace {

// Whether the run's wire ratio is the one that counts: a lone run's, or the median of
// repetitions.
bool Decides(const benchmark::BenchmarkReporter::Run& run) {
  if (run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate)
    return run.aggregate_name == "median";
  return run.repetitions <= 1;
}

// The console report, noting whether any run failed.
class FailureNotingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      failed = failed || run.error_occurred;
      auto ratio = run.counters.find("wire_ratio");
      if (ratio == run.counters.end() || !Decides(run) || ratio->second.value <= kWireRatioLimit)
        continue;
      failed = true;
      std::printf("FAILED %s: wire_ratio %.4f is over %.2f\n", run.benchmark_name().c_str(),
                  ratio->second.value, kWireRatioLimit);
    }
    std::fflush(stdout);
  }
  bool failed = false;
};

}  // namespace

void ReportWireRatio(benchmark::State& state, double wall_seconds, double wire_seconds) {
  if (wire_seconds <= 0) return state.SkipWithError("nothing went over the wire");
  double iterations = double(state.iterations());
  state.counters["wall_s"] = wall_seconds / iterations;
  state.counters["wire_s"] = wire_seconds / iterations;
  state.counters["wire_ratio"] = wall_seconds / wire_seconds;
}

int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  FailureNotingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.failed ? 1 : 0;
}
