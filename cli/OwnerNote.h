// What the command line tells about an owner name the camera cannot hold as typed.
#pragma once

#include <string>

// One line for standard error when a character of `typed` had no ISO 8859-1 form and was
// replaced, or the name was cut to what the camera holds, saying how it was stored; the
// empty text when the camera holds the name as typed.
std::string OwnerNote(const std::string& typed);
