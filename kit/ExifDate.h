// Just enough of an EXIF reader to take a picture's DateTimeOriginal: for the thumbnail
// files of movies and raw pictures, and for real pictures loaded into the simulated camera.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kit {

// DateTimeOriginal of the file's EXIF segment, read as UTC, in seconds since 1970; none
// when the file has none, it is malformed, or it lies outside what 32 bits unsigned hold.
std::optional<uint32_t> DateTimeOriginal(std::span<const uint8_t> file);

// "YYYY:MM:DD HH:MM:SS" as UTC seconds since 1970, with the same limits.
std::optional<uint32_t> ParseExifDate(std::string_view text);

}  // namespace kit
