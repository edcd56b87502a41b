// The simulated camera's own card, so that a new user sees every kind of file a camera
// of the time writes: the dozen demo pictures, one with a sound note, then a movie and a
// raw picture, each with its thumbnail file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/CameraContent.h"

namespace sim {

// A sound note (.WAV) as a camera records one beside a picture: a RIFF WAVE file of
// 8-bit mono PCM at 8000 samples a second, `seconds` of a tone that fades in and out.
CameraFile MakeSoundNote(const std::string& name, uint32_t date, double seconds = 1.5,
                         uint8_t attributes = kAttributeNew);

// A movie of exactly `size` bytes and its thumbnail file, as a camera writes them side by
// side: `base` (for example "MVI_0013") with ".AVI" and ".THM", both dated `date`, new.
std::vector<CameraFile> MakeMovieFiles(const std::string& base, uint32_t size, uint32_t date);

// The files in the order the camera wrote them, dates rising, all new: IMG_0001.JPG to
// IMG_0012.JPG as DemoPictures() describes them; MVI_0013.AVI (320x240) with MVI_0013.THM;
// CRW_0014.CRW (2048x1536) with CRW_0014.THM; and last IMG_0007.WAV, a sound note recorded
// for IMG_0007.JPG in playback. So the first dozen are the pictures alone. Only the first
// `limit` files are made; a picture that cannot be made is left out.
std::vector<CameraFile> DemoCard(size_t limit = SIZE_MAX);

// The sizes of the card's movie and raw picture: a second or so each over a full-speed bus.
constexpr uint32_t kDemoMovieSize = 1200000;
constexpr uint32_t kDemoRawSize = 1600000;

}  // namespace sim
