#include "tests/support/Samples.h"

#include <cstdlib>
#include <filesystem>

namespace testsupport {

std::string SamplesDirectory() {
  std::error_code error;
  if (const char* chosen = std::getenv("PICTROVE_SAMPLES"); chosen != nullptr && *chosen != 0)
    return std::filesystem::is_directory(chosen, error) ? std::string(chosen) : std::string();
  // The shared folder sits beside the checkout, or beside a folder that holds it.
  std::filesystem::path source(PICTROVE_SOURCE_DIR);
  for (std::filesystem::path at = source.parent_path(); !at.empty(); at = at.parent_path()) {
    std::filesystem::path folder = at / "shared" / "samples";
    if (std::filesystem::is_directory(folder, error)) return folder.string();
    if (at == at.parent_path()) break;
  }
  return std::string();
}

}  // namespace testsupport
