#include "bench/Targets.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Standard error as the program got it: some programs silence theirs to keep the protocol's
// diagnostics off the measurement, but what failed must still be said.
FILE* Said() {
  static FILE* said = [] {
    int copy = dup(STDERR_FILENO);
    FILE* stream = copy >= 0 ? fdopen(copy, "w") : nullptr;
    return stream != nullptr ? stream : stderr;
  }();
  return said;
}
// Taken before main runs.
FILE* const kSaidAtStart = Said();

// Whether the run's figures are the ones that count: a lone run's, or the median of
// repetitions.
bool Decides(const benchmark::BenchmarkReporter::Run& run) {
  if (run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate)
    return run.aggregate_name == "median";
  return run.repetitions <= 1;
}

// The file reporter: what --benchmark_out asks for (JSON), and beside it the check of every
// run against the targets. The display is Google Benchmark's own, chosen by its flags.
class TargetChecker : public benchmark::JSONReporter {
 public:
  explicit TargetChecker(const std::vector<std::string>& unheld) : unheld_(unheld) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    JSONReporter::ReportRuns(runs);
    bool tell = getenv("PICTROVE_BENCH_TARGETS") != nullptr;
    for (const Run& run : runs) {
      if (run.error_occurred) {
        failed = true;
        fprintf(Said(), "FAILED %s: %s\n", run.benchmark_name().c_str(),
                run.error_message.c_str());
        continue;
      }
      if (!Decides(run)) continue;
      for (const auto& [name, counter] : run.counters) {
        const Target* target = FindTarget(name);
        if (target == nullptr) continue;
        bool held = std::find(unheld_.begin(), unheld_.end(), name) == unheld_.end();
        double figure = counter.value;
        double limit = LimitOf(*target);
        bool met = target->at_most ? figure <= limit : figure >= limit;
        if (!met && held) {
          failed = true;
          fprintf(Said(), "FAILED %s: %s %.4g is %s %.4g\n", run.benchmark_name().c_str(),
                  name.c_str(), figure, target->at_most ? "over" : "under", limit);
        }
        if (tell)
          fprintf(Said(), "target %s %s %.4g %s %.4g %s\n", run.benchmark_name().c_str(),
                  name.c_str(), figure, target->at_most ? "<=" : ">=", limit,
                  !held ? "not held" : met ? "ok" : "FAILED");
      }
    }
    fflush(Said());
  }

  bool failed = false;

 private:
  std::vector<std::string> unheld_;
};

}  // namespace

const Target* FindTarget(const std::string& counter) {
  for (const Target& target : kTargets)
    if (counter == target.counter) return &target;
  return nullptr;
}

double LimitOf(const Target& target) {
  const char* given = getenv("PICTROVE_BENCH_LIMIT");
  std::string wanted = std::string(target.counter) + "=";
  for (std::string rest = given != nullptr ? given : ""; !rest.empty();) {
    size_t comma = rest.find(',');
    std::string item = rest.substr(0, comma);
    rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    if (item.compare(0, wanted.size(), wanted) == 0) return atof(item.c_str() + wanted.size());
  }
  return target.limit;
}

int RunBenchmarks(int argc, char** argv, const std::vector<std::string>& unheld) {
  (void)kSaidAtStart;
  // A file reporter needs a file: where none is asked for, the check's JSON goes nowhere.
  std::vector<char*> arguments(argv, argv + argc);
  static char nowhere[] = "--benchmark_out=/dev/null";
  bool out_given = std::any_of(arguments.begin(), arguments.end(), [](const char* argument) {
    return strncmp(argument, "--benchmark_out=", 16) == 0;
  });
  if (!out_given) arguments.push_back(nowhere);
  int count = int(arguments.size());
  arguments.push_back(nullptr);
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  TargetChecker checker(unheld);
  benchmark::RunSpecifiedBenchmarks(nullptr, &checker);
  benchmark::Shutdown();
  return checker.failed ? 1 : 0;
}
