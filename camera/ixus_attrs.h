// A picture's flags on the camera, and its deletion.
#pragma once

class USBDevice;

// The status word a completed deletion answers with.
constexpr long kDeleted = 0x02000086;

bool ixus_setattr(USBDevice* camera, unsigned char* buffer, const char* path,
                  unsigned char attributes);
// The reply's status word, or -1 when a transfer failed or there is no input pipe.
long ixus_delete(USBDevice* camera, unsigned char* buffer, const char* path);
