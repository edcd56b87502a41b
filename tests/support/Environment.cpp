#include "tests/support/Environment.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace testsupport {

EnvironmentSetting::EnvironmentSetting(const char* name, const std::optional<std::string>& value)
    : name_(name) {
  if (const char* old = getenv(name)) previous_ = old;
  if (value)
    setenv(name, value->c_str(), 1);
  else
    unsetenv(name);
}

EnvironmentSetting::~EnvironmentSetting() {
  if (previous_)
    setenv(name_.c_str(), previous_->c_str(), 1);
  else
    unsetenv(name_.c_str());
}

bool OnPath(const std::string& program) {
  std::string path = getenv("PATH") != nullptr ? getenv("PATH") : "";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = std::min(path.find(':', start), path.size());
    if (access((path.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace testsupport
