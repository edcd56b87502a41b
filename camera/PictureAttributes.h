// The type and the typed attributes a downloaded file is given once it is complete.
#pragma once

#include <cstdint>

#include "app/FileKind.h"

class pic_Item;

// Types the complete JPEG file open at `fd` as "image/jpeg" with the record's attributes,
// `width` and `height` as the file's picture has them; when the record knows no size, as the
// file's frame header gives it. 0, or the reason one could not be written that must fail
// the download (a file system without attributes is none).
int TypePictureFile(int fd, pic_Item* picture, int32_t width, int32_t height);

// The MIME type a downloaded file of the kind is given.
const char* MimeTypeOf(FileKind kind);

// Types the complete file open at `fd`, of a kind other than a JPEG picture, with its listing
// date and, where known, its size: `width` and `height`, or for a thumbnail file its frame's.
// The same result.
int TypeCardFile(int fd, FileKind kind, uint32_t date, int32_t width, int32_t height);
