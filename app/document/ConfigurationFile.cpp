// Configuration files: the line reader, the checks of each group's keys,
// and the writer through wxFileConfig.
//
// Sections: text and numbers; lines; groups and keys; reading; writing.

#include "app/document/ConfigurationFile.h"

#include <wx/fileconf.h>
#include <wx/mstream.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "platform/AtomicFile.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace fs = std::filesystem;

// --- text and numbers ---------------------------------------------------------

std::string configurationNumber(float value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

namespace {

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

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Undoes wxFileConfig's quoting of a value: a value that starts with a
// quote ends with one; backslash escapes \n \r \t \\ \" anywhere. False,
// with the reason, for a value wxFileConfig cannot have written (an
// unknown escape, a stray or missing quote): typically a line cut short.
bool unquoteValue(std::string_view raw, std::string& value, std::string& reason) {
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
std::string unescapeName(std::string_view raw) {
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

// --- groups and keys ------------------------------------------------------------

// Reads the keys of one group: each known key is taken once (the first
// time), each other key or repeat is skipped with a line saying why.
class GroupReader {
 public:
  GroupReader(const Group& group, std::vector<std::string>& skipped) : group_(group), skipped_(skipped) {}

  // Runs fn(entry) for each entry; fn returns false for an unknown key.
  template <typename Fn>
  void forEach(Fn fn) {
    std::map<std::string, int> seen;
    for (const Entry& entry : group_.entries) {
      if (const auto [it, added] = seen.emplace(entry.key, entry.line); !added) {
        skip(entry, "given again (line " + std::to_string(it->second) + " is used)");
        continue;
      }
      if (!entry.valueError.empty()) {
        skip(entry, entry.valueError);
        continue;
      }
      if (!fn(entry)) skip(entry, "unknown key");
    }
  }

  void skip(const Entry& entry, const std::string& reason) {
    skipped_.push_back("line " + std::to_string(entry.line) + ": [" + group_.name + "] " + entry.key + ": " + reason);
  }

  void number(const Entry& entry, float min, float max, std::optional<float>& out) {
    float value = 0.0f;
    if (!parseFloat(entry.value, value)) skip(entry, "'" + shortened(entry.value) + "' is not a number");
    else if (value < min || value > max)
      skip(entry,
           entry.value + " is out of range (" + configurationNumber(min) + " to " + configurationNumber(max) + ")");
    else out = value;
  }

  void integer(const Entry& entry, int min, int max, std::optional<int>& out) {
    int value = 0;
    if (!parseInt(entry.value, value)) skip(entry, "'" + shortened(entry.value) + "' is not a whole number");
    else if (value < min || value > max)
      skip(entry, entry.value + " is out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")");
    else out = value;
  }

  void flag(const Entry& entry, std::optional<bool>& out) {
    bool value = false;
    if (!parseBool(entry.value, value)) skip(entry, "'" + shortened(entry.value) + "' is neither true nor false");
    else out = value;
  }

  void text(const Entry& entry, std::optional<std::string>& out) {
    if (entry.value.empty()) skip(entry, "empty");
    else out = entry.value;
  }

 private:
  const Group& group_;
  std::vector<std::string>& skipped_;
};

// The number after a prefix ("Metric12" -> 12), or 0.
int numberedGroup(const std::string& name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return 0;
  int value = 0;
  const std::string_view digits(name.data() + prefix.size(), name.size() - prefix.size());
  if (digits.front() == '0' || !parseInt(digits, value) || value < 1) return 0;
  return value;
}

// Values a camera never takes on its own; beyond them a file is damaged.
constexpr float kMaxZoom = 1e6f;
constexpr float kMinZoom = 1e-6f;
constexpr float kMaxPan = 1e9f;
constexpr float kMaxAngle = 1e6f;
constexpr float kMaxSetting = 1e6f;
// A colour component may come out of a packed byte a hair above 1.
constexpr float kColourTolerance = 1e-5f;
constexpr int kMaxWindowSide = 16384;

bool parseColour(std::string_view text, Color& colour) {
  float parts[4];
  std::size_t at = 0;
  for (int k = 0; k < 4; ++k) {
    while (at < text.size() && text[at] == ' ') ++at;
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    if (!parseFloat(text.substr(at, end - at), parts[k])) return false;
    if (parts[k] < 0.0f || parts[k] > 1.0f + kColourTolerance) return false;
    at = end;
  }
  while (at < text.size() && text[at] == ' ') ++at;
  if (at != text.size()) return false;
  colour = Color(parts[0], parts[1], parts[2], parts[3]);
  return true;
}

std::string colourText(const Color& c) {
  return configurationNumber(c.r) + " " + configurationNumber(c.g) + " " + configurationNumber(c.b) + " " +
         configurationNumber(c.a);
}

void readSettings(GroupReader& reader, SavedSetting::Kind kind, Configuration& out) {
  SettingsStore& store = settings();
  reader.forEach([&](const Entry& entry) {
    SavedSetting setting;
    setting.kind = kind;
    setting.key = entry.key;
    switch (kind) {
      case SavedSetting::Kind::Number: {
        if (!store.hasFloat(entry.key)) return false;
        std::optional<float> value;
        reader.number(entry, -kMaxSetting, kMaxSetting, value);
        if (!value) return true;
        setting.number = *value;
        break;
      }
      case SavedSetting::Kind::Switch: {
        if (!store.hasBool(entry.key)) return false;
        std::optional<bool> value;
        reader.flag(entry, value);
        if (!value) return true;
        setting.flag = *value;
        break;
      }
      case SavedSetting::Kind::Colour:
        if (!store.hasColor(entry.key)) return false;
        if (!parseColour(entry.value, setting.colour)) {
          reader.skip(entry, "'" + shortened(entry.value) + "' is not four numbers 0 to 1 (red green blue alpha)");
          return true;
        }
        break;
    }
    out.settings.push_back(std::move(setting));
    return true;
  });
}

void readWindow(GroupReader& reader, SavedWindow& window) {
  reader.forEach([&](const Entry& e) {
    SavedCamera& c = window.camera;
    std::optional<int> side;
    if (e.key == "Diagram") reader.text(e, window.diagram);
    else if (e.key == "Width" || e.key == "Height") {
      reader.integer(e, 1, kMaxWindowSide, side);
      if (side) (e.key == "Width" ? window.width : window.height) = *side;
    } else if (e.key == "Zoom") reader.number(e, kMinZoom, kMaxZoom, c.zoom);
    else if (e.key == "PanX") reader.number(e, -kMaxPan, kMaxPan, c.panX);
    else if (e.key == "PanY") reader.number(e, -kMaxPan, kMaxPan, c.panY);
    else if (e.key == "RotationZ") reader.number(e, -kMaxAngle, kMaxAngle, c.rotationZ);
    else if (e.key == "RotationX") reader.number(e, -kMaxAngle, kMaxAngle, c.rotationX);
    else if (e.key == "Perspective") reader.flag(e, c.perspective);
    else if (e.key == "Stereo") reader.flag(e, c.stereo);
    else return false;
    return true;
  });
}

void readMetric(GroupReader& reader, SavedMetric& metric) {
  reader.forEach([&](const Entry& e) {
    std::optional<std::string> name;
    if (e.key == "Name") {
      reader.text(e, name);
      if (name) metric.name = *name;
    } else if (e.key == "Shown") reader.flag(e, metric.shown);
    else if (e.key == "Glyph") reader.text(e, metric.glyph);
    else if (e.key == "Transparency") reader.number(e, 0.0f, 1.0f, metric.transparency);
    else if (e.key == "LowerThreshold") reader.integer(e, INT32_MIN, INT32_MAX, metric.lowerThreshold);
    else if (e.key == "UpperThreshold") reader.integer(e, INT32_MIN, INT32_MAX, metric.upperThreshold);
    else return false;
    return true;
  });
}

void readArea(GroupReader& reader, SavedArea& area) {
  reader.forEach([&](const Entry& e) {
    std::optional<std::string> name;
    if (e.key == "Name") {
      reader.text(e, name);
      if (name) area.name = *name;
    } else if (e.key == "Shown") reader.flag(e, area.shown);
    else if (e.key == "Painter") reader.text(e, area.painter);
    else if (e.key == "Mode") reader.text(e, area.mode);
    else if (e.key == "Method") reader.text(e, area.method);
    else if (e.key == "Softness") reader.integer(e, 1, 100, area.softness);
    else return false;
    return true;
  });
}

fs::path resolveBeside(const std::string& file, const std::string& configurationFile) {
  const fs::path path(file);
  if (path.is_absolute()) return path.lexically_normal();
  std::error_code error;
  fs::path folder = fs::absolute(fs::path(configurationFile), error).parent_path();
  return (folder / path).lexically_normal();
}

}  // namespace

// --- layout -----------------------------------------------------------------------

std::string layoutText(const std::vector<SavedSplit>& layout) {
  std::string text;
  for (const SavedSplit& node : layout) {
    if (!text.empty()) text += ' ';
    text += node.leaf ? "W" : (node.horizontal ? "H" : "V") + configurationNumber(node.fraction);
  }
  return text;
}

bool parseLayout(std::string_view text, std::vector<SavedSplit>& layout) {
  std::vector<SavedSplit> nodes;
  int open = 1;  // subtrees still to be read
  int leaves = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view token = text.substr(at, end - at);
    at = end;
    if (open == 0) return false;  // more than one tree
    SavedSplit node;
    if (token == "W") {
      --open;
      if (++leaves > kMaxConfigurationWindows) return false;
    } else if (token.front() == 'V' || token.front() == 'H') {
      node.leaf = false;
      node.horizontal = token.front() == 'H';
      if (!parseFloat(token.substr(1), node.fraction) || node.fraction < 0.1f || node.fraction > 0.9f) return false;
      ++open;  // one subtree becomes two
    } else {
      return false;
    }
    nodes.push_back(node);
  }
  if (open != 0) return false;
  layout = std::move(nodes);
  return true;
}

int layoutWindowCount(const std::vector<SavedSplit>& layout) {
  return static_cast<int>(std::count_if(layout.begin(), layout.end(), [](const SavedSplit& n) { return n.leaf; }));
}

// --- reading ----------------------------------------------------------------------

ConfigurationRead parseConfiguration(std::string_view text, const std::string& fileName) {
  ConfigurationRead read;
  auto fail = [&](int line, const std::string& reason) {
    read.error = fileName + (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " + reason;
    return read;
  };

  auto lineAt = [&](std::size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
  };
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
    return fail(lineAt(nul), "not a configuration file: it holds binary data");
  std::size_t bad = 0;
  if (!isUtf8Text(text, bad)) return fail(lineAt(bad), "not a configuration file: the text is not UTF-8");
  std::vector<Group> groups;
  std::vector<Entry> outside;
  int lineCount = 0, badLine = 0;
  std::string reason;
  if (!splitLines(text, groups, outside, lineCount, badLine, reason))
    return fail(badLine, "not a configuration file: " + reason);

  // What the file is, and whether it is whole, before anything else.
  const auto header =
      std::find_if(groups.begin(), groups.end(), [](const Group& g) { return g.name == "Configuration"; });
  if (header == groups.end()) return fail(0, "not a configuration file: it has no [Configuration] group");
  std::optional<int> format;
  for (const Entry& entry : header->entries)
    if (entry.key == "Format" && !format) {
      int value = 0;
      if (!parseInt(entry.value, value) || value < 1)
        return fail(entry.line, "not a configuration file: Format '" + shortened(entry.value) + "' is not a version");
      format = value;
    }
  if (!format) return fail(header->line, "not a configuration file: [Configuration] has no Format");
  if (*format > kConfigurationFormat)
    return fail(header->line, "written in configuration format " + std::to_string(*format) +
                                  ", newer than this program reads (" + std::to_string(kConfigurationFormat) + ")");
  const bool whole = !groups.empty() && groups.back().name == "End" &&
                     std::any_of(groups.back().entries.begin(), groups.back().entries.end(),
                                 [](const Entry& e) { return e.key == "Complete" && e.value == "true"; });
  if (!whole)
    return fail(lineCount, "the file ends before its closing [End] group with Complete=true: it is cut short");

  Configuration& out = read.configuration;
  std::vector<std::string>& skipped = read.skipped;
  for (const Entry& entry : outside)
    skipped.push_back("line " + std::to_string(entry.line) + ": " + entry.key + ": outside any group");

  std::map<int, SavedMetric> metrics;
  std::map<int, SavedArea> areas;
  std::map<int, SavedWindow> windows;
  std::map<int, int> windowLines;
  std::optional<int> active;
  for (const Group& group : groups) {
    GroupReader reader(group, skipped);
    const std::string& name = group.name;
    if (name == "Configuration") {
      reader.forEach([](const Entry& e) { return e.key == "Format" || e.key == "Program"; });
    } else if (name == "End") {
      reader.forEach([](const Entry& e) { return e.key == "Complete"; });
    } else if (name == "Files") {
      reader.forEach([&](const Entry& e) {
        if (e.key != "Model" && e.key != "Metrics") return false;
        if (e.value.empty()) return true;  // none
        (e.key == "Model" ? out.modelFile : out.metricsFile) = resolveBeside(e.value, fileName).string();
        return true;
      });
    } else if (name == "FloatSettings") {
      readSettings(reader, SavedSetting::Kind::Number, out);
    } else if (name == "BoolSettings") {
      readSettings(reader, SavedSetting::Kind::Switch, out);
    } else if (name == "ColorSettings") {
      readSettings(reader, SavedSetting::Kind::Colour, out);
    } else if (name == "View") {
      reader.forEach([&](const Entry& e) {
        if (e.key == "ModelTransparency") reader.number(e, 0.0f, 1.0f, out.modelTransparency);
        else if (e.key == "MetricsTransparency") reader.number(e, 0.0f, 1.0f, out.metricsTransparency);
        else if (e.key == "AreasTransparency") reader.number(e, 0.0f, 1.0f, out.areasTransparency);
        else if (e.key == "GlyphCentreX") reader.number(e, -2.0f, 2.0f, out.glyphCentreX);
        else if (e.key == "GlyphCentreY") reader.number(e, -2.0f, 2.0f, out.glyphCentreY);
        else if (e.key == "GlyphZoom") reader.number(e, 0.5f, 2.0f, out.glyphZoom);
        else if (e.key == "ActiveWindow") reader.integer(e, 1, kMaxConfigurationWindows, active);
        else if (e.key == "Layout") {
          if (!parseLayout(e.value, out.layout))
            reader.skip(e, "'" + shortened(e.value) + "' is not a split layout of at most " +
                               std::to_string(kMaxConfigurationWindows) + " windows with fractions 0.1 to 0.9");
        } else return false;
        return true;
      });
    } else if (name == "Areas") {
      reader.forEach([&](const Entry& e) {
        if (e.key == "Radius") reader.number(e, 0.5f, 3.0f, out.radius);
        else if (e.key == "Iterations") reader.integer(e, 0, 20, out.iterations);
        else if (e.key == "Distance") reader.number(e, 0.0005f, 0.01f, out.distance);
        else if (e.key == "Priority") reader.flag(e, out.priority);
        else if (e.key == "EraserSoftness") reader.integer(e, 1, 100, out.eraserSoftness);
        else return false;
        return true;
      });
    } else if (const int m = numberedGroup(name, "Metric")) {
      SavedMetric& metric = metrics[m];
      if (metric.line == 0) metric.line = group.line;
      readMetric(reader, metric);
    } else if (const int a = numberedGroup(name, "Area")) {
      SavedArea& area = areas[a];
      if (area.line == 0) area.line = group.line;
      readArea(reader, area);
    } else if (const int w = numberedGroup(name, "Window"); w > 0 && w <= kMaxConfigurationWindows) {
      windowLines.emplace(w, group.line);
      readWindow(reader, windows[w]);
    } else {
      skipped.push_back("line " + std::to_string(group.line) + ": [" + name + "]: unknown group");
    }
  }

  for (auto& [index, metric] : metrics) {
    if (metric.name.empty())
      skipped.push_back("line " + std::to_string(metric.line) + ": [Metric" + std::to_string(index) + "]: no Name");
    else out.metrics.push_back(std::move(metric));
  }
  for (auto& [index, area] : areas) {
    if (area.name.empty())
      skipped.push_back("line " + std::to_string(area.line) + ": [Area" + std::to_string(index) + "]: no Name");
    else out.areas.push_back(std::move(area));
  }
  // Windows by their number; with a layout, as many as it has, else up to
  // the last one that gives anything.
  int count = layoutWindowCount(out.layout);
  if (out.layout.empty())
    for (const auto& [index, window] : windows)
      if (window.diagram || window.width > 0 || window.height > 0 || window.camera != SavedCamera{}) count = index;
  out.windows.resize(static_cast<std::size_t>(count));
  for (auto& [index, window] : windows) {
    if (index > count) {
      skipped.push_back("line " + std::to_string(windowLines[index]) + ": [Window" + std::to_string(index) +
                        "]: the layout has " + std::to_string(count) + " window(s)");
      continue;
    }
    out.windows[static_cast<std::size_t>(index - 1)] = std::move(window);
  }
  if (active) {
    if (*active <= count) out.activeWindow = *active - 1;
    else skipped.push_back("[View] ActiveWindow: there is no window " + std::to_string(*active));
  }
  read.ok = true;
  return read;
}

ConfigurationRead readConfigurationFile(const std::string& path) {
  ConfigurationRead read;
  std::error_code error;
  if (fs::is_directory(path, error)) {
    read.error = path + ": is a folder, not a configuration file";
    return read;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    read.error = path + ": cannot be opened: " + std::strerror(errno);
    return read;
  }
  std::string text;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxConfigurationBytes) {
      read.error = path + ": not a configuration file: larger than " + std::to_string(kMaxConfigurationBytes >> 20) +
                   " MB";
      return read;
    }
  }
  if (in.bad()) {
    read.error = path + ": cannot be read: " + std::strerror(errno);
    return read;
  }
  return parseConfiguration(text, path);
}

// --- writing ------------------------------------------------------------------------

namespace {

// How a file is named in a configuration saved as configurationFile:
// relative to its folder when the file lies there or below, else absolute.
std::string nameBeside(const std::string& file, const std::string& configurationFile) {
  if (file.empty()) return {};
  std::error_code error;
  const fs::path target = fs::weakly_canonical(fs::absolute(file, error), error);
  const fs::path folder = fs::weakly_canonical(fs::absolute(configurationFile, error), error).parent_path();
  const fs::path relative = target.lexically_relative(folder);
  if (!relative.empty() && *relative.begin() != ".." && !relative.is_absolute()) return relative.string();
  return target.string();
}

// Keys the file can hold as they are: wxFileConfig would turn '/' into
// nested groups.
bool plainKey(const std::string& key) {
  return !key.empty() && key.front() != '!' && std::all_of(key.begin(), key.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '.' || c == '_' || c == '-';
  });
}

class Writer {
 public:
  Writer() : config_(wxEmptyString, wxEmptyString, wxEmptyString, wxEmptyString, 0) {
    config_.SetExpandEnvVars(false);
  }
  void group(const std::string& name) { config_.SetPath("/" + wxString::FromUTF8(name)); }
  void put(const char* key, const std::string& value) { config_.Write(key, wxString::FromUTF8(value)); }
  void put(const std::string& key, const std::string& value) {
    config_.Write(wxString::FromUTF8(key), wxString::FromUTF8(value));
  }
  void put(const char* key, float value) { put(key, configurationNumber(value)); }
  void put(const char* key, int value) { put(key, std::to_string(value)); }
  void put(const char* key, bool value) { put(key, std::string(value ? "true" : "false")); }
  template <typename T>
  void put(const char* key, const std::optional<T>& value) {
    if (value) put(key, *value);
  }
  std::string text() {
    wxMemoryOutputStream out;
    config_.Save(out, wxConvUTF8);
    std::string bytes(out.GetLength(), '\0');
    out.CopyTo(bytes.data(), bytes.size());
    return bytes;
  }

 private:
  wxFileConfig config_;
};

}  // namespace

std::string configurationText(const Configuration& c, const std::string& path) {
  Writer w;
  w.group("Configuration");
  w.put("Format", kConfigurationFormat);
  w.put("Program", std::string("lumetra ") + LUMETRA_VERSION);
  w.group("Files");
  w.put("Model", nameBeside(c.modelFile, path));
  w.put("Metrics", nameBeside(c.metricsFile, path));

  for (const auto& [kind, groupName] : {std::pair{SavedSetting::Kind::Number, "FloatSettings"},
                                       std::pair{SavedSetting::Kind::Switch, "BoolSettings"},
                                       std::pair{SavedSetting::Kind::Colour, "ColorSettings"}}) {
    w.group(groupName);
    for (const SavedSetting& s : c.settings) {
      if (s.kind != kind || !plainKey(s.key)) continue;
      if (kind == SavedSetting::Kind::Number) w.put(s.key, configurationNumber(s.number));
      else if (kind == SavedSetting::Kind::Switch) w.put(s.key, std::string(s.flag ? "true" : "false"));
      else w.put(s.key, colourText(s.colour));
    }
  }

  w.group("View");
  w.put("ModelTransparency", c.modelTransparency);
  w.put("MetricsTransparency", c.metricsTransparency);
  w.put("AreasTransparency", c.areasTransparency);
  w.put("GlyphCentreX", c.glyphCentreX);
  w.put("GlyphCentreY", c.glyphCentreY);
  w.put("GlyphZoom", c.glyphZoom);
  if (!c.layout.empty()) w.put("Layout", layoutText(c.layout));
  if (c.activeWindow) w.put("ActiveWindow", *c.activeWindow + 1);
  for (std::size_t i = 0; i < c.windows.size(); ++i) {
    const SavedWindow& window = c.windows[i];
    w.group("Window" + std::to_string(i + 1));
    if (window.diagram) w.put("Diagram", *window.diagram);
    if (window.width > 0) w.put("Width", window.width);
    if (window.height > 0) w.put("Height", window.height);
    w.put("Zoom", window.camera.zoom);
    w.put("PanX", window.camera.panX);
    w.put("PanY", window.camera.panY);
    w.put("RotationZ", window.camera.rotationZ);
    w.put("RotationX", window.camera.rotationX);
    w.put("Perspective", window.camera.perspective);
    w.put("Stereo", window.camera.stereo);
  }

  w.group("Areas");
  w.put("Radius", c.radius);
  w.put("Iterations", c.iterations);
  w.put("Distance", c.distance);
  w.put("Priority", c.priority);
  w.put("EraserSoftness", c.eraserSoftness);

  for (std::size_t i = 0; i < c.metrics.size(); ++i) {
    const SavedMetric& m = c.metrics[i];
    w.group("Metric" + std::to_string(i + 1));
    w.put("Name", m.name);
    w.put("Shown", m.shown);
    w.put("Glyph", m.glyph);
    w.put("Transparency", m.transparency);
    w.put("LowerThreshold", m.lowerThreshold);
    w.put("UpperThreshold", m.upperThreshold);
  }
  for (std::size_t i = 0; i < c.areas.size(); ++i) {
    const SavedArea& a = c.areas[i];
    w.group("Area" + std::to_string(i + 1));
    w.put("Name", a.name);
    w.put("Shown", a.shown);
    w.put("Painter", a.painter);
    w.put("Mode", a.mode);
    w.put("Method", a.method);
    w.put("Softness", a.softness);
  }
  w.group("End");
  w.put("Complete", true);
  return w.text();
}

std::string writeConfigurationFile(const Configuration& configuration, const std::string& path) {
  return writeFileAtomically(path, configurationText(configuration, path));
}

}  // namespace lumetra
