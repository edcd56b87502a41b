// The typed attributes of a downloaded picture file: width, height, flash and date.
#pragma once

#include <cstdint>

class pic_Item;

// Writes the four attributes on the open file, width and height as the picture is stored:
// 0, or the reason the first that failed could not be written (each is tried).
int SetJPEGFileAttrs(int fd, pic_Item* picture);

// The same, with the width and height the file's picture has (once turned upright).
int SetJPEGFileAttrs(int fd, pic_Item* picture, int32_t width, int32_t height);
