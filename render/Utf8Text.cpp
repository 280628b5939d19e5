#include "render/Utf8Text.h"

namespace lumetra {

std::size_t utf8SequenceAt(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return length;
}

const std::string& fontSafe(const std::string& text, std::string& repaired) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t n = utf8SequenceAt(text, i);
    if (n == 0) break;
    i += n;
  }
  if (i == text.size()) return text;
  repaired.assign(text, 0, i);
  while (i < text.size()) {
    const std::size_t n = utf8SequenceAt(text, i);
    if (n == 0) {
      repaired.push_back('?');
      ++i;
    } else {
      repaired.append(text, i, n);
      i += n;
    }
  }
  return repaired;
}

}  // namespace lumetra
