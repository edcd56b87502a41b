#include "kit/Message.h"

namespace kit {

std::string FourCCText(uint32_t code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; i++) text[i] = char((code >> (24 - 8 * i)) & 0xff);
  return text;
}

bool ParseFourCC(const std::string& text, uint32_t* code) {
  if (text.size() != 4) return false;
  *code = 0;
  for (char c : text) *code = *code << 8 | uint8_t(c);
  return true;
}

size_t Message::CountValues(const std::string& name) const {
  auto field = fields_.find(name);
  return field == fields_.end() ? 0 : field->second.size();
}

}  // namespace kit
