// What the simulated camera answers to each command it knows, given a well-formed block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/CameraContent.h"
#include "sim/CommandBlock.h"
#include "sim/ReplyQueue.h"

namespace sim {

// The status words of the camera's fixed-size replies to the picture commands; tests
// change them to see how the host copes.
struct StatusWords {
  uint32_t attributes_set = 0x02000086;
  uint32_t deleted = 0x02000086;
  // The answer to the form other clients send, with a NUL after the name.
  uint32_t deleted_padded = 0;
  uint32_t delete_refused = 0x0200008C;  // the picture is protected and stays
  uint32_t no_picture = 0x0200008A;      // nothing lives at the path
};

// The reply to queue on the input pipe, or none (the camera stays silent) with the reason
// in `problem`: a command the camera does not know, a block whose request word does not
// belong to the command, a payload that does not match the command's layout (and so
// a wrong length word), or a drive or path the camera does not hold. A reply can come with a
// problem too: a picture command on a path that holds nothing, a thumbnail asked of a file
// that is not a JPEG picture (an error status), or a request in a form that cameras accept
// but pictrove does not send (another tag word, a listing of one level, a trailing byte).
std::optional<Reply> AnswerCommand(const CommandBlock& block, CameraContent& content,
                                   const StatusWords& status, std::string* problem);

}  // namespace sim
