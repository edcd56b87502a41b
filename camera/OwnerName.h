// The camera owner's name: ISO 8859-1 on the camera, UTF-8 in the program.
#pragma once

#include <cstddef>
#include <string>

// The owner bytes of an identification reply hold at most this many characters.
constexpr size_t kOwnerField = 32;

// The name in the reply's owner field (up to its first zero byte, at most kOwnerField
// bytes), in UTF-8: at most two bytes for each.
std::string OwnerFromCamera(const unsigned char* field);

// What the camera is sent for a name typed in UTF-8: at most 31 bytes of ISO 8859-1, from
// at most the first 200 bytes of the name, "?" for what ISO 8859-1 cannot hold.
std::string OwnerForCamera(const char* name);

// At most `limit` bytes of UTF-8 text, never ending inside a character.
std::string Utf8Prefix(const std::string& text, size_t limit);
