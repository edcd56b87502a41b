// The type and the typed attributes a downloaded picture's file is given once it is complete.
#pragma once

#include <cstdint>

class pic_Item;

// Types the complete JPEG file open at `fd` as "image/jpeg" with the record's attributes,
// `width` and `height` as the file's picture has them; when the record knows no size, as the
// file's frame header gives it. 0, or the reason one could not be written that must fail
// the download (a file system without attributes is none).
int TypePictureFile(int fd, pic_Item* picture, int32_t width, int32_t height);
