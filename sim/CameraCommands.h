// What the simulated camera answers to each command it knows, given a well-formed block.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/CameraContent.h"
#include "sim/CommandBlock.h"

namespace sim {

// The reply to queue on the input pipe, or none (the camera stays silent) with the reason
// in `problem`: a command the camera does not know, a block whose request word or tag does
// not belong to the command, a payload that does not match the command's layout, or a
// path the camera does not hold.
std::optional<std::vector<uint8_t>> AnswerCommand(const CommandBlock& block, CameraContent& content,
                                                  std::string* problem);

}  // namespace sim
