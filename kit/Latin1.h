// ISO 8859-1 <-> UTF-8, with "?" for what the other side cannot hold.
#pragma once

#include <string>

namespace kit {

std::string Latin1ToUtf8(const std::string& latin1);
std::string Utf8ToLatin1(const std::string& utf8);

}  // namespace kit
