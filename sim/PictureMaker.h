// Synthetic camera pictures: real baseline JPEGs with the EXIF data a camera writes
// (orientation, flash, size, date, an embedded thumbnail), and the thumbnail files that
// stand for a movie or raw picture, made without the program's own EXIF code so that they
// can catch its mistakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct PictureSpec {
  std::string name;          // the camera's 8.3 name, e.g. "IMG_0001.JPG"
  uint16_t width = 640;      // as stored
  uint16_t height = 480;     // as stored
  uint16_t orientation = 1;  // EXIF orientation: 1, 6, 7, 8; 0 writes none
  uint16_t flash = 0;        // EXIF Flash value; 0: did not fire
  uint32_t date = 0;         // seconds since 1970, written as DateTimeOriginal in UTC
};

// The JPEG file: start of image, the EXIF segment (Intel byte order) with its embedded
// 160x120 thumbnail (120x160 for a picture stored upright), then the picture itself. Both
// images show the same colourful scene with an arrow that points up once the picture is
// turned as its orientation asks. Empty when the encoder fails or the EXIF data
// outgrows its segment.
std::vector<uint8_t> MakePicture(const PictureSpec& spec);

// What a thumbnail file stands for, which it shows with a mark drawn over its scene.
enum class ThumbnailFor {
  kMovie,  // black film-strip edges with sprocket holes at the top and bottom
  kRaw,    // a dark red band low across it with "RAW" written on it
};

// The thumbnail file (.THM) of a movie or raw picture: start of image, the EXIF segment
// (Intel byte order) with orientation 1, the Flash value, ExifImageWidth and
// ExifImageLength of the main file's picture (`spec`'s width and height) and the date, and
// no embedded thumbnail (the main directory links to nothing), then a 160x120 baseline
// JPEG of the picture's scene with the mark. `spec`'s orientation is not used. Empty when
// the encoder fails.
std::vector<uint8_t> MakeThumbnailFile(const PictureSpec& spec, ThumbnailFor main_file);

// A dozen pictures as a camera would hold them: IMG_0001.JPG onwards, dates rising, sizes,
// orientations (1, 6, 7, 8 and 0) and flash varied.
std::vector<PictureSpec> DemoPictures();

}  // namespace sim
