// Paced benchmarks hold what they measure against the time the bus itself needs, and fail
// when the program adds more than it may: the report says so, and the program exits non-zero.
#pragma once

#include <benchmark/benchmark.h>

// Measured time over wire time that a paced benchmark may reach.
constexpr double kWireRatioLimit = 1.02;

// Sets the counters wall_s, wire_s and wire_ratio, all per iteration.
void ReportWireRatio(benchmark::State& state, double wall_seconds, double wire_seconds);

// Runs the benchmarks the command line selects, on the console. 1 when any of them reported
// an error, or a wire_ratio over kWireRatioLimit: a single run's, or with repetitions their
// median's.
int RunBenchmarks(int argc, char** argv);
