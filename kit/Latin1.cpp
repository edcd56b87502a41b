#include "kit/Latin1.h"

namespace kit {

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string utf8;
  utf8.reserve(latin1.size() * 2);
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      utf8 += char(c);
    } else {
      utf8 += char(0xc0 | (c >> 6));
      utf8 += char(0x80 | (c & 0x3f));
    }
  }
  return utf8;
}

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string latin1;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = utf8[i];
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > utf8.size()) {
      latin1 += '?';  // a stray or cut-off byte
      i++;
      continue;
    }
    uint32_t code = length == 1 ? c : c & (0x7f >> length);
    bool valid = true;
    for (size_t k = 1; k < length; k++) {
      unsigned char next = utf8[i + k];
      if ((next & 0xc0) != 0x80) valid = false;
      code = code << 6 | (next & 0x3f);
    }
    if (!valid) {
      latin1 += '?';
      i++;
      continue;
    }
    latin1 += code <= 0xff ? char(code) : '?';
    i += length;
  }
  return latin1;
}

}  // namespace kit
