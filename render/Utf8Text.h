#pragma once

#include <cstddef>
#include <string>

namespace lumetra {

// The length of the well-formed UTF-8 sequence at text[i], or 0 (RFC 3629:
// no overlong forms, no surrogates, nothing beyond U+10FFFF).
std::size_t utf8SequenceAt(const std::string& text, std::size_t i);

// The font decodes UTF-8 without checking where a sequence ends: a lead
// byte near the end of a string makes it read past the terminator (names
// come from model files and may hold any bytes). Text that is not well-formed
// UTF-8 is handed over with every byte that starts no valid sequence shown
// as '?' (written into repaired); well-formed text is passed as it is.
const std::string& fontSafe(const std::string& text, std::string& repaired);

}  // namespace lumetra
