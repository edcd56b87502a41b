#include "sim/CpuTime.h"

namespace sim {

double CpuSeconds(clockid_t clock) {
  timespec now{};
  if (clock_gettime(clock, &now) != 0) return 0;
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double ThreadCpuSeconds() {
  return CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

}  // namespace sim
