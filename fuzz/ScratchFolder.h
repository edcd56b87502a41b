// A private folder under /tmp for a fuzz target's files, removed with all it holds when
// the target exits.
#pragma once

#include <string>

namespace fuzzsupport {

std::string MakeScratchFolder(const char* name);

}  // namespace fuzzsupport
