// The typed attributes of a downloaded file: width, height, flash and date for a picture;
// the date, and the size where it is known, for a file of another kind.
#pragma once

#include <cstdint>

class pic_Item;

// Writes the four attributes on the open file, width and height as the picture is stored:
// 0, or the reason the first that failed could not be written (each is tried).
int SetJPEGFileAttrs(int fd, pic_Item* picture);

// The same, with the width and height the file's picture has (once turned upright).
int SetJPEGFileAttrs(int fd, pic_Item* picture, int32_t width, int32_t height);

// The date, and the width and height only when both are known (not 0): the same contract.
int SetCardFileAttrs(int fd, uint32_t date, int32_t width, int32_t height);
