#include "tests/realstack/client/TestbedReport.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace client {

namespace {

constexpr int kLooks = 500;
constexpr useconds_t kLookEveryUs = 20000;

}  // namespace

std::optional<std::vector<std::string>> CameraProblems(const std::string& scratch_folder) {
  const char* control = getenv("PICTROVE_TESTBED_CONTROL");
  if (control == nullptr) return std::nullopt;
  std::string file = scratch_folder + "/camera-report";
  unlink(file.c_str());
  std::ofstream(control) << "report " << file << "\n";
  // The harness writes the report in its own time and renames it into place when whole.
  std::ifstream report;
  for (int look = 0; look < kLooks && !report.is_open(); ++look) {
    report.open(file);
    if (!report.is_open()) usleep(kLookEveryUs);
  }
  if (!report.is_open()) return std::nullopt;
  std::vector<std::string> problems;
  for (std::string line; std::getline(report, line);)
    if (line.starts_with("problem ")) problems.push_back(line.substr(8));
  unlink(file.c_str());
  return problems;
}

}  // namespace client
