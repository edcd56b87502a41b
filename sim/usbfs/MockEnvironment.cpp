#include "sim/usbfs/MockEnvironment.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sim {

namespace {

// The shared AddressSanitizer runtime this program runs with, or none (not built with it,
// or with the runtime linked in). It must come first of all libraries, preloaded ones too,
// for the program and for the sanitized programs it starts.
std::string SanitizerRuntime() {
  void* init = dlsym(RTLD_DEFAULT, "__asan_init");
  Dl_info runtime, program;
  if (init == nullptr || dladdr(init, &runtime) == 0 ||
      dladdr(reinterpret_cast<void*>(&EnterMockEnvironment), &program) == 0 ||
      runtime.dli_fbase == program.dli_fbase)
    return "";
  return std::string(runtime.dli_fname) + ":";
}

}  // namespace

void EnterMockEnvironment(char** argv) {
  // Our own mark: the library's own check also wants a testbed, which comes only later.
  if (getenv("PICTROVE_UMOCKDEV_PRELOADED") != nullptr) return;
  setenv("PICTROVE_UMOCKDEV_PRELOADED", "1", 1);
  std::string preload = SanitizerRuntime() + PICTROVE_SEEK_SHIM + ":libumockdev-preload.so.0";
  setenv("LD_PRELOAD", preload.c_str(), 1);
  execv("/proc/self/exe", argv);
  perror("execv");
  exit(2);
}

}  // namespace sim
