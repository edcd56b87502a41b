// The names a downloaded picture takes in the download folder.
#pragma once

#include <optional>
#include <string>

#include "app/FileKind.h"

// The camera's 8.3 name of the picture: what follows the last backslash of its camera path.
// None when that could not be a plain file of the current folder: empty, "." or "..", with a
// "/" or a control character in it, or starting with "-" (taken for an option by the
// programs the file is handed to).
std::optional<std::string> LocalName(const char* path);

// Whether the picture is stored turned, so that the download has to turn it upright.
bool NeedsTurn(unsigned long orientation);
// Whether the download turns a file of this kind upright: only a JPEG picture, never the
// file a raw picture's or movie's thumbnail stands for.
bool NeedsTurn(FileKind kind, unsigned long orientation);
