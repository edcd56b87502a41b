// The demo programs' bus speed: PICTROVE_DEMO_PACE, in bytes a second, paces the simulated
// camera's bulk data as a slow bus would, so that progress and Cancel can be watched.
#pragma once

#include "sim/SimDevice.h"

namespace sim {

// Paces `camera` as the variable asks; an unset or empty variable leaves it unpaced. A value
// that is no whole number of bytes is said on standard error, under `program`'s name, and
// changes nothing.
void PaceFromEnvironment(SimDevice& camera, const char* program);

}  // namespace sim
