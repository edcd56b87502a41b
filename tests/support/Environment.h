// The process environment as tests change it: a variable set for a while, and the programs
// PATH finds.
#pragma once

#include <optional>
#include <string>

namespace testsupport {

// Sets an environment variable (or removes it, for none) until the object goes.
class EnvironmentSetting {
 public:
  EnvironmentSetting(const char* name, const std::optional<std::string>& value);
  ~EnvironmentSetting();
  EnvironmentSetting(const EnvironmentSetting&) = delete;
  EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Whether a program of that name can be run from one of PATH's folders.
bool OnPath(const std::string& program);

}  // namespace testsupport
