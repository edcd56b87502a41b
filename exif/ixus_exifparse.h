// The EXIF values and the embedded thumbnail of a picture, read from the camera's reply to
// a thumbnail request while it streams in.
#pragma once

#include "kit/ByteStream.h"

class USBEndpoint;
class pic_Item;

// Reads the `length` data bytes of the reply from `endpoint` in pieces of at most 4096 bytes
// into `buffer` (the camera buffer), sets the picture's X and Y resolution, flash and
// orientation, and appends the embedded thumbnail JPEG to `thumbnail`. The reply is always
// read to its end; after a failed transfer, everything the camera still sends is read. True on
// success; values already set stay set when it fails.
bool ixus_exifparse(const USBEndpoint* endpoint, unsigned char* buffer, kit::ByteStream* thumbnail,
                    unsigned long length, pic_Item* picture);

// The same over a whole file's reply, every byte of which is also appended to `file`: for a
// thumbnail file, whose own image is the thumbnail.
bool ixus_exifparse(const USBEndpoint* endpoint, unsigned char* buffer, kit::ByteStream* thumbnail,
                    unsigned long length, pic_Item* picture, kit::ByteStream* file);
