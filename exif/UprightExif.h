// The EXIF entries of a JPEG file that has been turned upright, changed where they lie: the
// EXIF block keeps its size and every offset in it, and the picture data is not touched.
#pragma once

#include <cstdint>
#include <optional>

struct JpegSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

// The width and height in the frame header of the JPEG file open at `fd`; none when the
// marker segments before its image data hold none, or one with a height of 0 (given later).
std::optional<JpegSize> ReadJpegSize(int fd);

// Makes the EXIF block (the first APP1 segment starting "Exif\0\0") of the turned JPEG file
// open for reading and writing at `fd` the block of `camera`, the JPEG file it was turned
// from (open for reading), with three values changed: the main directory's Orientation
// becomes 1, the Exif directory's ExifImageWidth and ExifImageLength `size`, each in the
// byte order and the type (SHORT or LONG) the camera gave it. (jpegtran copies the block
// as it is, but may make those two entries LONG with sizes of its own.) Nothing moves:
// both blocks are of one size. Entries the block lacks stay lacking; when the camera's
// file has no EXIF block, nothing changes. 0, or the reason nothing was changed: EINVAL
// when a file is no JPEG, the turned one lacks the block or has it of another size, the
// camera's block is malformed, or one of those entries is not a single SHORT or LONG or
// cannot hold its new value; else the error of a read or a write.
int MarkUpright(int fd, int camera, JpegSize size);
