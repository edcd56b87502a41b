#include "sim/DemoPace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace sim {

void PaceFromEnvironment(SimDevice& camera, const char* program) {
  const char* pace = getenv("PICTROVE_DEMO_PACE");
  if (pace == nullptr || *pace == '\0') return;
  char* end = nullptr;
  errno = 0;
  unsigned long long rate = strtoull(pace, &end, 10);
  if (*pace == '-' || *end != '\0' || errno != 0) {
    fprintf(stderr, "%s: PICTROVE_DEMO_PACE is \"%s\", not bytes a second; not paced\n", program,
            pace);
    return;
  }
  camera.PaceBulk(rate);
}

}  // namespace sim
