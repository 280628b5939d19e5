#pragma once
// Configuration files (*.cfg): a saved view of an analysis as an INI file,
// written through wxFileConfig so that it stays readable and diffable.
// This module knows the file and nothing of a loaded model: it turns text
// into a Configuration (what the file says, every value checked against
// its range) and back. Configuration.h checks the names against a model and
// applies it.
//
// The file, group by group (values in the C locale, floats in their
// shortest exact form, switches "true" or "false"):
//   [Configuration]  Format=1 (a newer format is refused), Program
//   [Files]          Model, Metrics, Metrics2, ... (the metrics files in the
//                    order they were read): relative to the .cfg's folder
//                    when they lie beside or below it, else absolute
//   [FloatSettings] [BoolSettings] [ColorSettings] [TextSettings]
//                    every key of the settings store; a colour is
//                    "red green blue alpha", each 0..1
//   [View]           the painter's ModelTransparency, MetricsTransparency,
//                    AreasTransparency (0..1), the glyph layout GlyphCentreX,
//                    GlyphCentreY (-2..2) and GlyphZoom (0.5..2), the split
//                    tree's Layout and the ActiveWindow (1 = the first)
//   [Window1] ...    per window in split-tree order: Diagram, Width, Height
//                    (pixels when saved), Zoom, PanX, PanY, RotationZ,
//                    RotationX, Perspective, Stereo
//   [Areas]          Radius (0.5..3), Iterations (0..20), Distance
//                    (0.0005..0.01), Priority, EraserSoftness (1..100)
//   [Metric1] ...    Name, Shown, Glyph, Transparency (0..1),
//                    LowerThreshold, UpperThreshold, Colour (as a colour
//                    setting); shown metrics first,
//                    in the order their glyphs are laid out
//   [Area1] ...      Name, Shown, Painter, Mode, Method, Softness (1..100);
//                    shown areas first, in drawing order
//   [Box1] ...       a box moved away from where the model file puts it:
//                    Diagram (its name), Shape (the shape's identifier),
//                    Left, Bottom, Right, Top (diagram units)
//   [End]            Complete=true: a file cut short lacks it
// Layout is the split tree in prefix order: "W" a window, "V<fraction>"
// side by side (first on the left), "H<fraction>" stacked (first at the
// bottom), fraction 0.1..0.9 of the first; "V0.5 W H0.3 W W" is a window on
// the left and two stacked on the right.
//
// Failures. A file that cannot be read, is not text, has a line that is
// neither "[group]" nor "key=value", is not a configuration (no
// [Configuration] Format) or lacks its [End] is refused as a whole: one
// message naming the file, the line where there is one, and the reason. An
// unknown group or key, a value that does not parse or is out of range, or
// a key given twice is skipped with one line saying so, and the rest is
// read.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Color.h"

namespace lumetra {

inline constexpr int kConfigurationFormat = 1;
// The most windows a layout may hold.
inline constexpr int kMaxConfigurationWindows = 64;
// The largest configuration file read.
inline constexpr std::size_t kMaxConfigurationBytes = 4u << 20;

struct SavedCamera {
  std::optional<float> zoom;  // pixels per diagram unit
  std::optional<float> panX, panY;
  std::optional<float> rotationZ, rotationX;  // degrees
  std::optional<bool> perspective, stereo;
  friend bool operator==(const SavedCamera&, const SavedCamera&) = default;
};

struct SavedWindow {
  std::optional<std::string> diagram;
  SavedCamera camera;
  int width = 0;  // the window's size when saved; 0 when not given
  int height = 0;
  friend bool operator==(const SavedWindow&, const SavedWindow&) = default;
};

// One node of the split tree, in prefix order: a split is followed by its
// first subtree, then its second.
struct SavedSplit {
  bool leaf = true;
  bool horizontal = false;  // children stacked (first at the bottom)
  float fraction = 0.5f;
  friend bool operator==(const SavedSplit&, const SavedSplit&) = default;
};

struct SavedMetric {
  std::string name;
  int line = 0;  // of its group, for messages
  std::optional<bool> shown;
  std::optional<std::string> glyph;
  std::optional<float> transparency;
  std::optional<int> lowerThreshold, upperThreshold;
  std::optional<Color> colour;
  friend bool operator==(const SavedMetric&, const SavedMetric&) = default;
};

struct SavedBox {
  std::string diagram;  // the diagram's name
  std::string shape;    // the shape's identifier
  float left = 0.0f, bottom = 0.0f, right = 0.0f, top = 0.0f;
  int line = 0;
  friend bool operator==(const SavedBox&, const SavedBox&) = default;
};

struct SavedArea {
  std::string name;
  int line = 0;
  std::optional<bool> shown;
  std::optional<std::string> painter, mode, method;
  std::optional<int> softness;
  friend bool operator==(const SavedArea&, const SavedArea&) = default;
};

struct SavedSetting {
  enum class Kind { Number, Switch, Colour, Text };
  Kind kind = Kind::Number;
  std::string key;
  float number = 0.0f;
  bool flag = false;
  Color colour;
  std::string text;
  friend bool operator==(const SavedSetting&, const SavedSetting&) = default;
};

// What a configuration file holds. Every optional is a value the file gave
// (and that passed its check); what is absent is left as it is when applied.
struct Configuration {
  std::string modelFile;  // empty: the file names no model
  std::vector<std::string> metricsFiles;  // in the order they are read
  std::vector<SavedSetting> settings;
  std::optional<float> modelTransparency, metricsTransparency, areasTransparency;
  std::optional<float> glyphCentreX, glyphCentreY, glyphZoom;
  std::vector<SavedSplit> layout;   // empty: not given
  std::vector<SavedWindow> windows;  // in split-tree order
  std::optional<int> activeWindow;   // index into windows
  std::optional<float> radius, distance;
  std::optional<int> iterations;
  std::optional<bool> priority;
  std::optional<int> eraserSoftness;
  std::vector<SavedMetric> metrics;
  std::vector<SavedArea> areas;
  std::vector<SavedBox> boxes;
  friend bool operator==(const Configuration&, const Configuration&) = default;
};

struct ConfigurationRead {
  bool ok = false;
  // When not ok: "FILE, line N: reason" (or "FILE: reason").
  std::string error;
  Configuration configuration;
  // One line per skipped entry: "line N: [Group] Key: reason".
  std::vector<std::string> skipped;
};

// Reads configuration text; fileName names it in messages and is the folder
// relative file names are resolved against (empty: the working folder).
ConfigurationRead parseConfiguration(std::string_view text, const std::string& fileName);
// Reads the file (at most kMaxConfigurationBytes).
ConfigurationRead readConfigurationFile(const std::string& path);

// The file's text for a configuration saved as path (which decides how the
// model and metrics files are named), written through wxFileConfig.
std::string configurationText(const Configuration& configuration, const std::string& path);
// Writes the text atomically (platform/AtomicFile.h); empty on success,
// else one line naming the file and the reason.
std::string writeConfigurationFile(const Configuration& configuration, const std::string& path);

// The layout's text ("V0.5 W W") and back; parseLayout is false for text
// that is not a whole tree of at most kMaxConfigurationWindows windows with
// fractions in 0.1..0.9.
std::string layoutText(const std::vector<SavedSplit>& layout);
bool parseLayout(std::string_view text, std::vector<SavedSplit>& layout);
// The number of windows (leaves) of a layout.
int layoutWindowCount(const std::vector<SavedSplit>& layout);

// A float in its shortest exact form, C locale.
std::string configurationNumber(float value);

}  // namespace lumetra
