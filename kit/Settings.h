// The user's settings folder: $XDG_CONFIG_HOME, else ~/.config.
#pragma once

#include <string>

namespace kit {

// The folder's path, or the empty text when neither is set.
std::string UserSettingsDirectory();

}  // namespace kit
