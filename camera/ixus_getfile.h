// Downloading one picture into a file of the current directory.
#pragma once

class USBDevice;
class pic_Item;

// True when the picture's data is completely in its file, turned or not; after any
// failure, which has been shown to the user, false.
bool ixus_getfile(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture);
