// The data of a picture reply, from the input pipe into a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class USBEndpoint;

// Where the data goes, a piece at a time: 0, or the reason the piece could not be written.
using PieceSink = std::function<int(const unsigned char* data, size_t length)>;

// Reads the `length` data bytes that follow the reply header, each read asking for the
// smaller of what remains and 4096 bytes, through `buffer`; hands them to `sink` and
// advances the status window. nullptr when all of it came and was written. After a failure
// the alert to show for it (the caller shows it), and the pipe is brought back in step, so
// that the next command reads its own reply. A download the host cancels ends the same way:
// the empty text, for which nothing is to be shown.
const char* ReceivePicture(const USBEndpoint* pipe, unsigned char* buffer, uint32_t length,
                           const PieceSink& sink);

// The alert for a write that failed for `error`.
const char* WriteFailure(int error);
