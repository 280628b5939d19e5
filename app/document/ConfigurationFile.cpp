// Configuration files: the line reader, the checks of each group's keys,
// and the writer through wxFileConfig.
//
// Sections: numbers; groups and keys (with the key table of each group,
// which the reader and the writer share); reading; writing. The text is cut
// into groups and entries by ConfigurationLines.cpp.

#include "app/document/ConfigurationFile.h"

#include "app/document/ConfigurationLines.h"

#include <wx/fileconf.h>
#include <wx/mstream.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <type_traits>
#include <variant>

#include "platform/AtomicFile.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace fs = std::filesystem;
using namespace configfile;

// --- numbers ---------------------------------------------------------

std::string configurationNumber(float value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

namespace {

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
      case SavedSetting::Kind::Text:
        if (!store.hasString(entry.key)) return false;
        if (entry.value.empty()) {
          reader.skip(entry, "no value given");
          return true;
        }
        setting.text = entry.value;
        break;
    }
    out.settings.push_back(std::move(setting));
    return true;
  });
}

// One key of a group: its name in the file, the field of the saved struct
// it fills and, for numbers, the range a file may give. The writer puts a
// group's keys in the order of its table, and the reader takes each key by
// the same row, so a key cannot be written under one name and read under
// another. A plain int is written only when positive (0: not given); an
// optional one only when set.
template <typename S>
struct Key {
  const char* name;
  std::variant<std::optional<float>& (*)(S&), std::optional<int>& (*)(S&), std::optional<bool>& (*)(S&),
               std::optional<std::string>& (*)(S&), int& (*)(S&), std::string& (*)(S&)>
      field;
  double min = 0.0, max = 0.0;
};

template <typename S, auto Member>
decltype(auto) field(S& saved) {
  return (saved.*Member);
}
template <auto Member>
decltype(auto) cameraField(SavedWindow& window) {
  return (window.camera.*Member);
}

const Key<SavedWindow> kWindowKeys[] = {
    {"Diagram", &field<SavedWindow, &SavedWindow::diagram>},
    {"Width", &field<SavedWindow, &SavedWindow::width>, 1, kMaxWindowSide},
    {"Height", &field<SavedWindow, &SavedWindow::height>, 1, kMaxWindowSide},
    {"Zoom", &cameraField<&SavedCamera::zoom>, kMinZoom, kMaxZoom},
    {"PanX", &cameraField<&SavedCamera::panX>, -kMaxPan, kMaxPan},
    {"PanY", &cameraField<&SavedCamera::panY>, -kMaxPan, kMaxPan},
    {"RotationZ", &cameraField<&SavedCamera::rotationZ>, -kMaxAngle, kMaxAngle},
    {"RotationX", &cameraField<&SavedCamera::rotationX>, -kMaxAngle, kMaxAngle},
    {"Perspective", &cameraField<&SavedCamera::perspective>},
    {"Stereo", &cameraField<&SavedCamera::stereo>},
};

const Key<SavedMetric> kMetricKeys[] = {
    {"Name", &field<SavedMetric, &SavedMetric::name>},
    {"Shown", &field<SavedMetric, &SavedMetric::shown>},
    {"Glyph", &field<SavedMetric, &SavedMetric::glyph>},
    {"Transparency", &field<SavedMetric, &SavedMetric::transparency>, 0.0, 1.0},
    {"LowerThreshold", &field<SavedMetric, &SavedMetric::lowerThreshold>, INT32_MIN, INT32_MAX},
    {"UpperThreshold", &field<SavedMetric, &SavedMetric::upperThreshold>, INT32_MIN, INT32_MAX},
};

const Key<SavedArea> kAreaKeys[] = {
    {"Name", &field<SavedArea, &SavedArea::name>},
    {"Shown", &field<SavedArea, &SavedArea::shown>},
    {"Painter", &field<SavedArea, &SavedArea::painter>},
    {"Mode", &field<SavedArea, &SavedArea::mode>},
    {"Method", &field<SavedArea, &SavedArea::method>},
    {"Softness", &field<SavedArea, &SavedArea::softness>, 1, 100},
};

// [View] also holds Layout and ActiveWindow, which are not single values.
const Key<Configuration> kViewKeys[] = {
    {"ModelTransparency", &field<Configuration, &Configuration::modelTransparency>, 0.0, 1.0},
    {"MetricsTransparency", &field<Configuration, &Configuration::metricsTransparency>, 0.0, 1.0},
    {"AreasTransparency", &field<Configuration, &Configuration::areasTransparency>, 0.0, 1.0},
    {"GlyphCentreX", &field<Configuration, &Configuration::glyphCentreX>, -2.0, 2.0},
    {"GlyphCentreY", &field<Configuration, &Configuration::glyphCentreY>, -2.0, 2.0},
    {"GlyphZoom", &field<Configuration, &Configuration::glyphZoom>, 0.5, 2.0},
};

const Key<Configuration> kAreaSetKeys[] = {
    {"Radius", &field<Configuration, &Configuration::radius>, 0.5, 3.0},
    {"Iterations", &field<Configuration, &Configuration::iterations>, 0, 20},
    {"Distance", &field<Configuration, &Configuration::distance>, 0.0005f, 0.01f},
    {"Priority", &field<Configuration, &Configuration::priority>},
    {"EraserSoftness", &field<Configuration, &Configuration::eraserSoftness>, 1, 100},
};

// Reads the entry by its row of the table; false when no row has its key.
template <typename S, std::size_t N>
bool readKey(GroupReader& reader, const Entry& e, const Key<S> (&table)[N], S& saved) {
  const auto row = std::find_if(std::begin(table), std::end(table),
                                [&](const Key<S>& key) { return e.key == key.name; });
  if (row == std::end(table)) return false;
  std::visit(
      [&](auto get) {
        auto& value = get(saved);
        using T = std::remove_reference_t<decltype(value)>;
        const auto low = static_cast<float>(row->min), high = static_cast<float>(row->max);
        if constexpr (std::is_same_v<T, std::optional<float>>) {
          reader.number(e, low, high, value);
        } else if constexpr (std::is_same_v<T, std::optional<int>>) {
          reader.integer(e, static_cast<int>(row->min), static_cast<int>(row->max), value);
        } else if constexpr (std::is_same_v<T, std::optional<bool>>) {
          reader.flag(e, value);
        } else if constexpr (std::is_same_v<T, std::optional<std::string>>) {
          reader.text(e, value);
        } else if constexpr (std::is_same_v<T, int>) {
          std::optional<int> read;
          reader.integer(e, static_cast<int>(row->min), static_cast<int>(row->max), read);
          if (read) value = *read;
        } else {
          std::optional<std::string> read;
          reader.text(e, read);
          if (read) value = *read;
        }
      },
      row->field);
  return true;
}

template <typename S, std::size_t N>
void readGroup(GroupReader& reader, const Key<S> (&table)[N], S& saved) {
  reader.forEach([&](const Entry& e) { return readKey(reader, e, table, saved); });
}

// A moved box: every key is needed, so it is read by hand rather than by a
// table of optional fields.
void readBox(GroupReader& reader, SavedBox& box, std::array<bool, 6>& given) {
  reader.forEach([&](const Entry& e) {
    static const char* const keys[] = {"Diagram", "Shape", "Left", "Bottom", "Right", "Top"};
    float* sides[] = {nullptr, nullptr, &box.left, &box.bottom, &box.right, &box.top};
    for (std::size_t k = 0; k < 6; ++k) {
      if (e.key != keys[k]) continue;
      if (k < 2) {
        std::optional<std::string> text;
        reader.text(e, text);
        if (text) (k == 0 ? box.diagram : box.shape) = *text;
        given[k] = text.has_value();
      } else {
        std::optional<float> value;
        reader.number(e, -kMaxPan, kMaxPan, value);
        if (value) *sides[k] = *value;
        given[k] = value.has_value();
      }
      return true;
    }
    return false;
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
  std::map<int, std::pair<SavedBox, std::array<bool, 6>>> boxes;
  std::optional<int> active;
  for (const Group& group : groups) {
    GroupReader reader(group, skipped);
    const std::string& name = group.name;
    if (name == "Configuration") {
      reader.forEach([](const Entry& e) { return e.key == "Format" || e.key == "Program"; });
    } else if (name == "End") {
      reader.forEach([](const Entry& e) { return e.key == "Complete"; });
    } else if (name == "Files") {
      std::map<int, std::string> metricsFiles;  // Metrics is the first, MetricsN the Nth
      reader.forEach([&](const Entry& e) {
        int slot = 0;
        if (e.key == "Metrics") {
          slot = 1;
        } else if (e.key.rfind("Metrics", 0) == 0 && e.key.size() > 7 && e.key.size() < 11 &&
                   e.key.find_first_not_of("0123456789", 7) == std::string::npos) {
          slot = std::stoi(e.key.substr(7));
          if (slot < 2) return false;
        } else if (e.key != "Model") {
          return false;
        }
        if (e.value.empty()) return true;  // none
        (slot == 0 ? out.modelFile : metricsFiles[slot]) = resolveBeside(e.value, fileName).string();
        return true;
      });
      for (auto& [slot, file] : metricsFiles) out.metricsFiles.push_back(std::move(file));
    } else if (name == "FloatSettings") {
      readSettings(reader, SavedSetting::Kind::Number, out);
    } else if (name == "BoolSettings") {
      readSettings(reader, SavedSetting::Kind::Switch, out);
    } else if (name == "ColorSettings") {
      readSettings(reader, SavedSetting::Kind::Colour, out);
    } else if (name == "TextSettings") {
      readSettings(reader, SavedSetting::Kind::Text, out);
    } else if (name == "View") {
      reader.forEach([&](const Entry& e) {
        if (e.key == "ActiveWindow") reader.integer(e, 1, kMaxConfigurationWindows, active);
        else if (e.key == "Layout") {
          if (!parseLayout(e.value, out.layout))
            reader.skip(e, "'" + shortened(e.value) + "' is not a split layout of at most " +
                               std::to_string(kMaxConfigurationWindows) + " windows with fractions 0.1 to 0.9");
        } else return readKey(reader, e, kViewKeys, out);
        return true;
      });
    } else if (name == "Areas") {
      readGroup(reader, kAreaSetKeys, out);
    } else if (const int m = numberedGroup(name, "Metric")) {
      SavedMetric& metric = metrics[m];
      if (metric.line == 0) metric.line = group.line;
      reader.forEach([&](const Entry& e) {
        if (e.key != "Colour") return readKey(reader, e, kMetricKeys, metric);
        Color colour;
        if (parseColour(e.value, colour)) metric.colour = colour;
        else reader.skip(e, "'" + shortened(e.value) + "' is not four numbers 0 to 1 (red green blue alpha)");
        return true;
      });
    } else if (const int a = numberedGroup(name, "Area")) {
      SavedArea& area = areas[a];
      if (area.line == 0) area.line = group.line;
      readGroup(reader, kAreaKeys, area);
    } else if (const int b = numberedGroup(name, "Box")) {
      auto& [box, given] = boxes[b];
      if (box.line == 0) box.line = group.line;
      readBox(reader, box, given);
    } else if (const int w = numberedGroup(name, "Window"); w > 0 && w <= kMaxConfigurationWindows) {
      windowLines.emplace(w, group.line);
      readGroup(reader, kWindowKeys, windows[w]);
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
  for (auto& [index, entry] : boxes) {
    auto& [box, given] = entry;
    if (std::all_of(given.begin(), given.end(), [](bool g) { return g; }) && box.left <= box.right &&
        box.bottom <= box.top)
      out.boxes.push_back(std::move(box));
    else
      skipped.push_back("line " + std::to_string(box.line) + ": [Box" + std::to_string(index) +
                        "]: needs Diagram, Shape and Left <= Right, Bottom <= Top");
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
  // The keys of a table, in its order.
  template <typename S, std::size_t N>
  void keys(const Key<S> (&table)[N], const S& saved) {
    for (const Key<S>& key : table)
      std::visit(
          [&](auto get) {
            const auto& value = get(const_cast<S&>(saved));
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, int>) {
              if (value > 0) put(key.name, value);
            } else {
              put(key.name, value);
            }
          },
          key.field);
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
  w.put("Metrics", nameBeside(c.metricsFiles.empty() ? std::string() : c.metricsFiles.front(), path));
  for (std::size_t i = 1; i < c.metricsFiles.size(); ++i)
    w.put("Metrics" + std::to_string(i + 1), nameBeside(c.metricsFiles[i], path));

  for (const auto& [kind, groupName] : {std::pair{SavedSetting::Kind::Number, "FloatSettings"},
                                       std::pair{SavedSetting::Kind::Switch, "BoolSettings"},
                                       std::pair{SavedSetting::Kind::Colour, "ColorSettings"},
                                       std::pair{SavedSetting::Kind::Text, "TextSettings"}}) {
    w.group(groupName);
    for (const SavedSetting& s : c.settings) {
      if (s.kind != kind || !plainKey(s.key)) continue;
      if (kind == SavedSetting::Kind::Number) w.put(s.key, configurationNumber(s.number));
      else if (kind == SavedSetting::Kind::Switch) w.put(s.key, std::string(s.flag ? "true" : "false"));
      else if (kind == SavedSetting::Kind::Colour) w.put(s.key, colourText(s.colour));
      else w.put(s.key, s.text);
    }
  }

  w.group("View");
  w.keys(kViewKeys, c);
  if (!c.layout.empty()) w.put("Layout", layoutText(c.layout));
  if (c.activeWindow) w.put("ActiveWindow", *c.activeWindow + 1);
  for (std::size_t i = 0; i < c.windows.size(); ++i) {
    w.group("Window" + std::to_string(i + 1));
    w.keys(kWindowKeys, c.windows[i]);
  }

  w.group("Areas");
  w.keys(kAreaSetKeys, c);

  for (std::size_t i = 0; i < c.metrics.size(); ++i) {
    w.group("Metric" + std::to_string(i + 1));
    w.keys(kMetricKeys, c.metrics[i]);
    if (c.metrics[i].colour) w.put("Colour", colourText(*c.metrics[i].colour));
  }
  for (std::size_t i = 0; i < c.areas.size(); ++i) {
    w.group("Area" + std::to_string(i + 1));
    w.keys(kAreaKeys, c.areas[i]);
  }
  for (std::size_t i = 0; i < c.boxes.size(); ++i) {
    const SavedBox& b = c.boxes[i];
    w.group("Box" + std::to_string(i + 1));
    w.put("Diagram", b.diagram);
    w.put("Shape", b.shape);
    w.put("Left", b.left);
    w.put("Bottom", b.bottom);
    w.put("Right", b.right);
    w.put("Top", b.top);
  }
  w.group("End");
  w.put("Complete", true);
  return w.text();
}

std::string writeConfigurationFile(const Configuration& configuration, const std::string& path) {
  return writeFileAtomically(path, configurationText(configuration, path));
}

}  // namespace lumetra
