// CPU time, for telling the emulator's own cost from the program's.
#pragma once

#include <ctime>

namespace sim {

// The CPU seconds a clock (a process's or a thread's) has counted.
double CpuSeconds(clockid_t clock);
// The calling thread's CPU seconds.
double ThreadCpuSeconds();

}  // namespace sim
