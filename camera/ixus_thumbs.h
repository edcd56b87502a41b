// Thumbnails: one record per row of the listing, with its EXIF values and its
// decoded thumbnail, added to the picture list as it completes.
#pragma once

class USBDevice;
class pic_Item;
struct ixus_direntry;

void ixus_getthumbs(USBDevice* device, unsigned char* buffer, ixus_direntry* first);
bool ixus_getthumb(USBDevice* device, unsigned char* buffer, const char* path, pic_Item* picture);
