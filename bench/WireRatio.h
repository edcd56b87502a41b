// Paced benchmarks hold what they measure against the time the bus itself needs, and fail
// when the program adds more than it may (the target wire_ratio, bench/Targets.h).
#pragma once

#include <benchmark/benchmark.h>

#include "bench/Targets.h"

// Sets the counters wall_s, wire_s and wire_ratio, all per iteration.
void ReportWireRatio(benchmark::State& state, double wall_seconds, double wire_seconds);
