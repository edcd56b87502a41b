// The data of a picture reply, from the input pipe into a file.
#pragma once

#include <cstdint>

class USBEndpoint;

// Reads the `length` data bytes that follow the reply header in pieces of at most 4096
// bytes through `buffer`, appends them to `fd` and advances the status window. After a
// failure, which has been shown to the user, the pipe is brought back in step, so that
// the next command reads its own reply. A download the host cancels ends the same way, with
// nothing shown.
bool ReceivePicture(const USBEndpoint* pipe, unsigned char* buffer, uint32_t length, int fd);

// The alert for a write that failed for `error`.
const char* WriteFailure(int error);
