#pragma once
// The configuration file's text cut into groups of key=value entries (the
// format wxFileConfig writes), and the checks of numbers and text that the
// readers of the groups' keys share.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra::configfile {

// The whole text is the number (no space, no trailing text); a float must
// also be finite.
bool parseFloat(std::string_view text, float& value);
bool parseInt(std::string_view text, int& value);
// "true"/"1" or "false"/"0".
bool parseBool(std::string_view text, bool& value);

// Whether text is UTF-8 without NUL bytes; where it is not, the offset of
// the first bad byte.
bool isUtf8Text(std::string_view text, std::size_t& bad);

struct Entry {
  std::string key;
  std::string value;
  int line = 0;
  std::string valueError;  // why the value could not be unquoted
};

struct Group {
  std::string name;
  int line = 0;
  std::vector<Entry> entries;
};

// At most about 40 bytes of text for a message, cut before a character,
// never inside one.
std::string shortened(std::string_view text);

// Splits the text into groups. False, with the line and reason, at the first
// line that is neither blank, a comment, "[group]" nor "key=value".
bool splitLines(std::string_view text, std::vector<Group>& groups, std::vector<Entry>& outside, int& lineCount,
                int& badLine, std::string& reason);

}  // namespace lumetra::configfile
