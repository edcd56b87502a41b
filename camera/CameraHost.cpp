#include "camera/CameraHost.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<CameraHost*> installed{nullptr};
}

void SetCameraHost(CameraHost* host) {
  installed.store(host);
}

CameraHost& Host() {
  CameraHost* host = installed.load();
  if (host == nullptr) {
    fputs("no camera host installed\n", stderr);
    abort();
  }
  return *host;
}
