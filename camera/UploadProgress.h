// The status window's line while a file goes to the camera.
#pragma once

#include <cstddef>

// The status window's line holds this many bytes, the terminator included.
constexpr size_t kStatusLineSize = 100;

// Writes "Uploading %s." with the part of `path` after its last "/" into `text`, which
// holds kStatusLineSize bytes. A name too long for the line is cut, never inside a UTF-8
// character, and the text still ends in ".". Returns `text`.
const char* UploadProgressText(char* text, const char* path);
