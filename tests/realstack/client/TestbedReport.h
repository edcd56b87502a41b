// What the harness's camera noticed: its report, asked for over the harness's control FIFO.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace client {

// The report's "problem" lines without their prefix; none when the harness wrote none.
std::optional<std::vector<std::string>> CameraProblems(const std::string& scratch_folder);

}  // namespace client
