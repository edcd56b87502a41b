// Pictures for the simulated camera and what their thumbnails should decode to.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kit/Bitmap.h"
#include "sim/CameraContent.h"
#include "sim/PictureMaker.h"

namespace listing_test {

// A synthetic picture as the camera holds it.
sim::CameraFile Picture(const std::string& name, uint16_t orientation, uint32_t date = 1000,
                        uint8_t attributes = 0x20, uint16_t flash = 0);

// The embedded thumbnail of a picture file, decoded as it lies (not turned); none when the
// file holds none.
std::unique_ptr<kit::Bitmap> EmbeddedThumbnail(const std::vector<uint8_t>& file);

// The file with its embedded thumbnail's bytes replaced by noise of the same length.
std::vector<uint8_t> WithBrokenThumbnail(std::vector<uint8_t> file);

}  // namespace listing_test
