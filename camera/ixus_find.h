// Whether the camera holds a file under a camera path, asked of its own listing.
#pragma once

class USBDevice;

// 1 when the camera lists a file at `path` (its attribute byte then in `attributes`, when
// given), 0 when it does not, -1 when its listing could not be read. Runs the listing
// command through `buffer`.
int ixus_find(USBDevice* device, unsigned char* buffer, const char* drive, const char* path,
              unsigned char* attributes = nullptr);
