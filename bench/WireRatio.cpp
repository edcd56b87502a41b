#include "bench/WireRatio.h"

void ReportWireRatio(benchmark::State& state, double wall_seconds, double wire_seconds) {
  if (wire_seconds <= 0) return state.SkipWithError("nothing went over the wire");
  double iterations = double(state.iterations());
  state.counters["wall_s"] = wall_seconds / iterations;
  state.counters["wire_s"] = wire_seconds / iterations;
  state.counters["wire_ratio"] = wall_seconds / wire_seconds;
}
