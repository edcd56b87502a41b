#include "tests/support/Samples.h"

#include <filesystem>

namespace testsupport {

std::string SamplesDirectory() {
  std::filesystem::path folder =
      std::filesystem::path(PICTROVE_SOURCE_DIR).parent_path() / "shared" / "samples";
  std::error_code error;
  return std::filesystem::is_directory(folder, error) ? folder.string() : std::string();
}

}  // namespace testsupport
