#include "kit/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace kit {

namespace {
std::mutex platform_mutex;
std::shared_ptr<Platform> installed;
}  // namespace

void InstallPlatform(std::shared_ptr<Platform> platform) {
  std::lock_guard<std::mutex> guard(platform_mutex);
  installed = std::move(platform);
}

Platform& CurrentPlatform() {
  std::lock_guard<std::mutex> guard(platform_mutex);
  if (!installed) {
    fputs("no platform installed\n", stderr);
    abort();
  }
  return *installed;
}

}  // namespace kit
