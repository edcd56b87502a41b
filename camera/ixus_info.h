// What the camera knows about itself: model, owner, storage and power. The reading
// commands fill the host's camera facts; a failed command leaves them as they were.
#pragma once

class USBDevice;

bool ixus_identify(USBDevice* camera, unsigned char* buffer);
bool ixus_setowner(USBDevice* camera, unsigned char* buffer, const char* name);  // UTF-8
bool ixus_diskinfo(USBDevice* camera, unsigned char* buffer, const char* device);
bool ixus_powerinfo(USBDevice* camera, unsigned char* buffer);
