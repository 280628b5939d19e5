// The configuration file cut into groups and entries, with the number and
// text checks the key readers share. What the keys mean is
// ConfigurationFile.cpp's.

#include "app/document/ConfigurationLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lumetra::configfile {

bool parseFloat(std::string_view text, float& value) {
  if (text.empty()) return false;
  float parsed = 0.0f;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool parseInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  int parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool parseBool(std::string_view text, bool& value) {
  if (text == "true" || text == "1") value = true;
  else if (text == "false" || text == "0") value = false;
  else return false;
  return true;
}

// Whether text is UTF-8 without NUL bytes; where it is not, the offset of
// the first bad byte.
bool isUtf8Text(std::string_view text, std::size_t& bad) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = p[i];
    std::size_t length = 0;
    unsigned int least = 0;
    if (c == 0) {
      bad = i;
      return false;
    }
    if (c < 0x80) {
      ++i;
      continue;
    }
    if ((c & 0xE0) == 0xC0) length = 2, least = 0x80;
    else if ((c & 0xF0) == 0xE0) length = 3, least = 0x800;
    else if ((c & 0xF8) == 0xF0) length = 4, least = 0x10000;
    else {
      bad = i;
      return false;
    }
    if (i + length > n) {
      bad = i;
      return false;
    }
    unsigned int code = c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) {
        bad = i;
        return false;
      }
      code = (code << 6) | (p[i + k] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      bad = i;
      return false;
    }
    i += length;
  }
  return true;
}

// --- lines ----------------------------------------------------------------------

static bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Undoes wxFileConfig's quoting of a value: a value that starts with a
// quote ends with one; backslash escapes \n \r \t \\ \" anywhere. False,
// with the reason, for a value wxFileConfig cannot have written (an
// unknown escape, a stray or missing quote): typically a line cut short.
static bool unquoteValue(std::string_view raw, std::string& value, std::string& reason) {
  value.clear();
  if (raw.empty()) return true;
  const bool quoted = raw.front() == '"';
  std::size_t i = quoted ? 1 : 0;
  bool closed = !quoted;
  for (; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\\') {
      if (++i == raw.size()) {
        reason = "the value ends in a lone backslash";
        return false;
      }
      switch (raw[i]) {
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case '\\': value += '\\'; break;
        case '"': value += '"'; break;
        default:
          reason = std::string("unknown escape \\") + raw[i];
          return false;
      }
    } else if (c == '"' && quoted) {
      if (i + 1 != raw.size()) {
        reason = "text after the closing quote";
        return false;
      }
      closed = true;
    } else {
      value += c;
    }
  }
  if (!closed) {
    reason = "the quoted value has no closing quote";
    return false;
  }
  return true;
}

// A group or key name with wxFileConfig's backslash escapes removed.
static std::string unescapeName(std::string_view raw) {
  std::string name;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
    name += raw[i];
  }
  return name;
}

// At most about 40 bytes of text for a message, cut before a character,
// never inside one.
std::string shortened(std::string_view text) {
  constexpr std::size_t kShown = 40;
  if (text.size() <= kShown) return std::string(text);
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut)) + "...";
}

// Splits the text into groups. False, with the line and reason, at the first
// line that is neither blank, a comment, "[group]" nor "key=value".
bool splitLines(std::string_view text, std::vector<Group>& groups, std::vector<Entry>& outside, int& lineCount,
                int& badLine, std::string& reason) {
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size() || line[i] == ';' || line[i] == '#') continue;

    if (line[i] == '[') {
      std::size_t close = i + 1;
      while (close < line.size() && line[close] != ']') close += line[close] == '\\' ? 2 : 1;
      if (close >= line.size()) {
        badLine = number;
        reason = start > text.size() ? "the file ends in the middle of this line: it is cut short"
                                     : "the group name " + shortened(line.substr(i)) + " has no closing ']'";
        return false;
      }
      std::size_t rest = close + 1;
      while (rest < line.size() && isBlank(line[rest])) ++rest;
      if (rest < line.size() && line[rest] != ';' && line[rest] != '#') {
        badLine = number;
        reason = "text after the group name: " + shortened(line.substr(rest));
        return false;
      }
      // A group named again continues the first one, as in wxFileConfig.
      std::string name = unescapeName(line.substr(i + 1, close - i - 1));
      const auto same = std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.name == name; });
      if (same == groups.end()) {
        groups.push_back({std::move(name), number, {}});
      } else {
        // Moved to the end: what follows belongs to it, and the last group
        // of the file stays the last one named.
        Group continued = std::move(*same);
        groups.erase(same);
        groups.push_back(std::move(continued));
      }
      continue;
    }

    std::size_t keyEnd = i;
    while (keyEnd < line.size() && line[keyEnd] != '=' && !isBlank(line[keyEnd]))
      keyEnd += line[keyEnd] == '\\' ? 2 : 1;
    keyEnd = std::min(keyEnd, line.size());
    std::size_t equals = keyEnd;
    while (equals < line.size() && isBlank(line[equals])) ++equals;
    if (keyEnd == i || equals >= line.size() || line[equals] != '=') {
      badLine = number;
      reason = start > text.size() ? "the file ends in the middle of this line: it is cut short"
                                   : "expected \"[group]\" or \"key=value\", found " + shortened(line.substr(i));
      return false;
    }
    std::size_t valueStart = equals + 1;
    while (valueStart < line.size() && isBlank(line[valueStart])) ++valueStart;
    Entry entry;
    entry.key = unescapeName(line.substr(i, keyEnd - i));
    entry.line = number;
    if (!unquoteValue(line.substr(valueStart), entry.value, entry.valueError) && entry.valueError.empty())
      entry.valueError = "malformed value";
    (groups.empty() ? outside : groups.back().entries).push_back(std::move(entry));
  }
  lineCount = number;
  return true;
}

}  // namespace lumetra::configfile
