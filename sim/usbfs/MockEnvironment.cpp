#include "sim/usbfs/MockEnvironment.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sim {

void EnterMockEnvironment(char** argv) {
  // Our own mark: the library's own check also wants a testbed, which comes only later.
  if (getenv("PICTROVE_UMOCKDEV_PRELOADED") != nullptr) return;
  setenv("PICTROVE_UMOCKDEV_PRELOADED", "1", 1);
  std::string preload = std::string(PICTROVE_SEEK_SHIM) + ":libumockdev-preload.so.0";
  setenv("LD_PRELOAD", preload.c_str(), 1);
  execv("/proc/self/exe", argv);
  perror("execv");
  exit(2);
}

}  // namespace sim
