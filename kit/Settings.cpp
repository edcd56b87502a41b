#include "kit/Settings.h"

#include <cstdlib>

namespace kit {

std::string UserSettingsDirectory() {
  const char* config = getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  const char* home = getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  return std::string();
}

}  // namespace kit
