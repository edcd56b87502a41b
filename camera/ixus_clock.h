// The camera's clock: its local wall-clock time as seconds since 1970, with no time zone.
#pragma once

#include <cstdint>

class USBDevice;

// Reads the clock into `seconds`; false when the reply did not come whole or its status is
// not 0, the pipe then back in step.
bool ixus_getclock(USBDevice* camera, unsigned char* buffer, uint32_t* seconds);
// Sets the clock: the status word of the camera's answer (0 when it took the time), or -1
// when no answer came.
int64_t ixus_setclock(USBDevice* camera, unsigned char* buffer, uint32_t seconds);
