// Configuration files without a model: what is written is read back
// exactly (names of any characters, every setting), broken files are
// refused with the file, the line and the reason, bad entries are skipped
// one by one while the rest is read, and file names survive moving the
// folder with the configuration.

#include <gtest/gtest.h>
#include <unistd.h>

#include <wx/init.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "app/commands/CommandLine.h"
#include "app/document/Configuration.h"
#include "app/document/ConfigurationFile.h"
#include "settings/SettingsStore.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

// wxFileConfig wants the library initialised.
const wxInitializer initializer;

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// A configuration that names everything once, in its saved form.
Configuration sample() {
  Configuration c;
  for (const auto& [key, value] : settings().floats()) c.settings.push_back({SavedSetting::Kind::Number, key, value});
  for (const auto& [key, value] : settings().bools()) c.settings.push_back({SavedSetting::Kind::Switch, key, 0, value});
  for (const auto& [key, value] : settings().colors())
    c.settings.push_back({SavedSetting::Kind::Colour, key, 0, false, value});
  c.modelTransparency = 0.75f;
  c.metricsTransparency = 128.0f / 255.0f;
  c.areasTransparency = 0.2f;
  c.glyphCentreX = -0.3f;
  c.glyphCentreY = 1.25f;
  c.glyphZoom = 0.502f;
  c.layout = {{false, false, 0.5f}, {}, {false, true, 0.3f}, {}, {}};
  for (int i = 0; i < 3; ++i) {
    SavedWindow w;
    w.diagram = "Diagram " + std::to_string(i);
    w.width = 300 + i;
    w.height = 200 + i;
    w.camera = {1.953125f * (i + 1), -12.5f, 3.1f, 30.0f, -15.0f, i != 1, false};
    c.windows.push_back(w);
  }
  c.activeWindow = 2;
  c.radius = 1.5f;
  c.iterations = 7;
  c.distance = 0.0035f;
  c.priority = true;
  c.eraserSoftness = 80;
  return c;
}

TEST(ConfigurationFile, WhatIsWrittenIsReadBackExactlyWhateverTheNames) {
  // Names as models and metrics files may have them: wxFileConfig quotes
  // and escapes some of these, and the reader must undo exactly that.
  const std::vector<std::string> names = {
      "Lines of code", " leading space", "trailing space ", "a \"quoted\" word", "\"starts with a quote",
      "back\\slash", "two\nlines", "tab\there", "$HOME/${USER}", "semi;colon #hash", "=equals", "[bracket]",
      "Gr\xC3\xB6\xC3\x9F" "e", "a/b", "\\", "x=y=z", "%s %d"};
  Configuration c = sample();
  for (std::size_t i = 0; i < names.size(); ++i) {
    SavedMetric m;
    m.name = names[i];
    m.shown = i % 2 == 0;
    m.glyph = names[(i + 1) % names.size()];
    m.transparency = 0.05f * static_cast<float>(i);
    m.lowerThreshold = -static_cast<int>(i);
    m.upperThreshold = 1000 * static_cast<int>(i);
    c.metrics.push_back(m);
    SavedArea a;
    a.name = names[i];
    a.shown = i % 3 == 0;
    a.painter = "Outer";
    a.mode = "Contour";
    a.method = "Splatting";
    a.softness = static_cast<int>(i) + 1;
    c.areas.push_back(a);
  }
  c.windows[0].diagram = "Orders \"and\" billing ";

  const ConfigurationRead read = parseConfiguration(configurationText(c, "/tmp/view.cfg"), "/tmp/view.cfg");
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_TRUE(read.skipped.empty()) << joined(read.skipped);
  const Configuration& r = read.configuration;
  ASSERT_EQ(r.metrics.size(), names.size());
  ASSERT_EQ(r.areas.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(r.metrics[i].name, names[i]);
    EXPECT_EQ(r.metrics[i].glyph, c.metrics[i].glyph);
    EXPECT_EQ(r.metrics[i].shown, c.metrics[i].shown);
    EXPECT_EQ(r.metrics[i].transparency, c.metrics[i].transparency);
    EXPECT_EQ(r.metrics[i].lowerThreshold, c.metrics[i].lowerThreshold);
    EXPECT_EQ(r.metrics[i].upperThreshold, c.metrics[i].upperThreshold);
    EXPECT_EQ(r.areas[i].name, names[i]);
    EXPECT_EQ(r.areas[i].shown, c.areas[i].shown);
    EXPECT_EQ(r.areas[i].softness, c.areas[i].softness);
    EXPECT_EQ(r.areas[i].method, c.areas[i].method);
  }
  // Every setting, bit for bit.
  ASSERT_EQ(r.settings.size(), c.settings.size());
  for (std::size_t i = 0; i < c.settings.size(); ++i) {
    SCOPED_TRACE(c.settings[i].key);
    EXPECT_EQ(r.settings[i].key, c.settings[i].key);
    EXPECT_EQ(r.settings[i].kind, c.settings[i].kind);
    EXPECT_EQ(std::memcmp(&r.settings[i].number, &c.settings[i].number, sizeof(float)), 0);
    EXPECT_EQ(r.settings[i].flag, c.settings[i].flag);
    EXPECT_EQ(r.settings[i].colour, c.settings[i].colour);
  }
  EXPECT_EQ(r.layout, c.layout);
  ASSERT_EQ(r.windows.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(r.windows[i].diagram, c.windows[i].diagram);
    EXPECT_EQ(r.windows[i].width, c.windows[i].width);
    EXPECT_EQ(r.windows[i].camera.zoom, c.windows[i].camera.zoom);
    EXPECT_EQ(r.windows[i].camera.panY, c.windows[i].camera.panY);
    EXPECT_EQ(r.windows[i].camera.rotationX, c.windows[i].camera.rotationX);
    EXPECT_EQ(r.windows[i].camera.perspective, c.windows[i].camera.perspective);
  }
  EXPECT_EQ(r.activeWindow, 2);
  EXPECT_EQ(r.glyphZoom, 0.502f);
  EXPECT_EQ(r.metricsTransparency, 128.0f / 255.0f);
  EXPECT_EQ(r.distance, 0.0035f);
  EXPECT_EQ(r.eraserSoftness, 80);
  EXPECT_EQ(r.priority, true);
}

struct BrokenCase {
  const char* name;
  std::string text;
  int line;            // expected in the message; 0: none
  const char* reason;  // part of the message
};

TEST(ConfigurationFile, BrokenFilesAreRefusedNamingTheFileTheLineAndTheReason) {
  const std::string whole = configurationText(sample(), "/tmp/view.cfg");
  const std::string cut = whole.substr(0, whole.find("[Areas]") + 3);
  const int cutLines = 1 + static_cast<int>(std::count(cut.begin(), cut.end(), '\n'));
  const std::vector<BrokenCase> cases = {
      {"xml", "<?xml version=\"1.0\"?>\n<XMI/>\n", 1, "expected \"[group]\" or \"key=value\""},
      {"png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), 3, "binary data"},
      {"latin1", "[Configuration]\nFormat=1\n[Metric1]\nName=Gr\xF6\xDF" "e\n", 4, "not UTF-8"},
      {"cut inside a group name", cut, cutLines, "cut short"},
      {"cut inside a key", whole.substr(0, whole.find("Zoom=")), 0, "ends in the middle of this line"},
      {"cut after a line", whole.substr(0, whole.find("[End]")), 0, "cut short"},
      {"cut inside the last value", whole.substr(0, whole.size() - 3), 0, "cut short"},
      {"another program's INI", "[General]\nName=x\n[End]\nComplete=true\n", 0, "no [Configuration] group"},
      {"newer format", "[Configuration]\nFormat=2\n[End]\nComplete=true\n", 1, "newer than this program reads"},
      {"text after a group", "[Configuration] x\nFormat=1\n", 1, "text after the group name"},
      {"empty", "", 0, "no [Configuration] group"},
  };
  for (const BrokenCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ConfigurationRead read = parseConfiguration(c.text, "/data/view.cfg");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error.rfind("/data/view.cfg", 0), 0u) << read.error;
    if (c.line > 0) {
      EXPECT_NE(read.error.find("line " + std::to_string(c.line) + ":"), std::string::npos) << read.error;
    }
    EXPECT_NE(read.error.find(c.reason), std::string::npos) << read.error;
  }
}

TEST(ConfigurationFile, BadEntriesAreSkippedOneByOneAndTheRestIsRead) {
  const std::string text =
      "[Configuration]\nFormat=1\n"
      "[View]\n"
      "GlyphZoom=7\n"            // 4: out of range
      "GlyphCentreX=0.5\n"       // kept
      "GlyphCentreY=abc\n"       // 6: not a number
      "Colour=red\n"             // 7: unknown key
      "Layout=V0.5 W\n"          // 8: not a whole tree
      "ModelTransparency=0.25\n" // kept
      "ModelTransparency=0.5\n"  // 10: given again
      "[FloatSettings]\n"
      "Visualizer.UMLModel.ArrowSize=30\n"  // kept
      "No.Such.Setting=1\n"                 // 13: unknown setting
      "HoverInfo.FontSize=inf\n"            // 14: not finite
      "[ColorSettings]\n"
      "Visualizer.General.SelectColor=0 0.2 1.5 0.3\n"  // 16: beyond 1
      "[Area1]\n"
      "Name=Checkout\nSoftness=0\nMode=Contour\n"  // 19: out of range; mode kept
      "[Metric1]\nShown=true\n"  // 21: no name
      "[Window99]\nZoom=2\n"     // 23: beyond the most windows
      "[Window1]\nZoom=-1\nPanX=4\nName=\"unclosed\n"  // 26 out of range; 28 unclosed quote
      "[Elsewhere]\nKey=1\n"     // 29: unknown group
      "[End]\nComplete=true\n";
  const ConfigurationRead read = parseConfiguration(text, "view.cfg");
  ASSERT_TRUE(read.ok) << read.error;
  const std::vector<std::pair<int, const char*>> expected = {
      {4, "out of range"},      {6, "not a number"},   {7, "unknown key"},         {8, "not a split layout"},
      {10, "given again"},      {13, "unknown key"},   {14, "not a number"},       {16, "not four numbers"},
      {19, "out of range"},     {21, "no Name"},       {26, "out of range"},       {28, "no closing quote"},
      {23, "unknown group"},    {29, "unknown group"},
  };
  const std::string all = joined(read.skipped);
  for (const auto& [line, reason] : expected) {
    SCOPED_TRACE(line);
    const std::string head = "line " + std::to_string(line) + ":";
    const std::size_t at = all.find(head);
    ASSERT_NE(at, std::string::npos) << all;
    EXPECT_NE(all.substr(at, all.find('\n', at) - at).find(reason), std::string::npos) << all;
  }
  const Configuration& c = read.configuration;
  EXPECT_EQ(c.glyphCentreX, 0.5f);
  EXPECT_FALSE(c.glyphZoom);
  EXPECT_FALSE(c.glyphCentreY);
  EXPECT_EQ(c.modelTransparency, 0.25f);
  EXPECT_TRUE(c.layout.empty());
  ASSERT_EQ(c.settings.size(), 1u);
  EXPECT_EQ(c.settings[0].key, "Visualizer.UMLModel.ArrowSize");
  ASSERT_EQ(c.areas.size(), 1u);
  EXPECT_EQ(c.areas[0].mode, "Contour");
  EXPECT_FALSE(c.areas[0].softness);
  ASSERT_EQ(c.windows.size(), 1u);
  EXPECT_FALSE(c.windows[0].camera.zoom);
  EXPECT_EQ(c.windows[0].camera.panX, 4.0f);
}

TEST(ConfigurationFile, FilesBesideOrBelowAreNamedRelativeAndSurviveMovingTheFolder) {
  const fs::path root = fs::temp_directory_path() / ("lumetra-cfg-paths-" + std::to_string(::getpid()));
  fs::create_directories(root / "project" / "models");
  fs::create_directories(root / "shared");
  for (const fs::path& file : {root / "project/models/shop.xmi", root / "shared/shop.met"}) std::ofstream(file) << "x";
  Configuration c;
  c.modelFile = (root / "project/models/shop.xmi").string();
  c.metricsFile = (root / "shared/shop.met").string();  // above the .cfg: absolute
  const std::string cfg = (root / "project/view.cfg").string();
  ASSERT_EQ(writeConfigurationFile(c, cfg), "");
  std::ifstream in(cfg);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(text.find("Model=models/shop.xmi\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Metrics=" + c.metricsFile + "\n"), std::string::npos) << text;

  fs::rename(root / "project", root / "moved");
  const ConfigurationRead read = readConfigurationFile((root / "moved/view.cfg").string());
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.configuration.modelFile, (root / "moved/models/shop.xmi").string());
  EXPECT_TRUE(fs::exists(read.configuration.modelFile));
  EXPECT_EQ(read.configuration.metricsFile, c.metricsFile);
  fs::remove_all(root);
}

TEST(ConfigurationFile, AFailedSaveLeavesTheOldFileAndAMissingOneIsNamed) {
  const fs::path root = fs::temp_directory_path() / ("lumetra-cfg-save-" + std::to_string(::getpid()));
  fs::create_directories(root);
  const std::string cfg = (root / "view.cfg").string();
  ASSERT_EQ(writeConfigurationFile(sample(), cfg), "");
  const auto before = fs::file_size(cfg);
  // Into a folder that does not exist: nothing is written, the reason is said.
  const std::string error = writeConfigurationFile(sample(), (root / "none/view.cfg").string());
  EXPECT_NE(error.find("none"), std::string::npos) << error;
  EXPECT_EQ(fs::file_size(cfg), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 1);

  const ConfigurationRead missing = readConfigurationFile((root / "gone.cfg").string());
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("gone.cfg: cannot be opened"), std::string::npos) << missing.error;
  fs::remove_all(root);
}

// What --config FILE does with the options given beside it, as --help says:
// MODEL, --metrics and --diagram replace, --metric and --area show more,
// --legend switches the legend on.
TEST(ConfigurationCommandLine, OptionsBesideTheFileReplaceOrAddAsTheHelpSays) {
  Configuration saved;
  saved.modelFile = "/a/shop.xmi";
  saved.metricsFile = "/a/shop.met";
  saved.layout = {{false, false, 0.5f}, {}, {}};
  saved.windows.resize(2);
  for (SavedWindow& w : saved.windows) {
    w.diagram = "Orders";
    w.camera.zoom = 2.0f;
  }
  saved.activeWindow = 1;
  saved.metrics = {{"A", 0, true}, {"B", 0, false, "2D Pie"}};
  saved.areas = {{"X", 0, true, "Outer"}, {"Y", 0, false, "Inner"}};

  using Check = std::function<void(const Configuration&)>;
  auto shownNames = [](const Configuration& c) {
    std::string names;
    for (const SavedMetric& m : c.metrics)
      if (m.shown.value_or(false)) names += m.name + (m.glyph ? "(" + *m.glyph + ")" : "") + " ";
    for (const SavedArea& a : c.areas)
      if (a.shown.value_or(false)) names += a.name + ":" + a.painter.value_or("?") + " ";
    return names;
  };
  const std::vector<std::tuple<const char*, std::function<void(CommandLineOptions&)>, Check>> cases = {
      {"MODEL replaces the model, the rest stays", [](CommandLineOptions& o) { o.model = "v2.xmi"; },
       [](const Configuration& c) {
         EXPECT_EQ(c.modelFile, "v2.xmi");
         EXPECT_EQ(c.metricsFile, "/a/shop.met");
         EXPECT_EQ(c.windows[1].camera.zoom, 2.0f);
       }},
      {"--metrics replaces the metrics file", [](CommandLineOptions& o) { o.metricsFile = "m.met"; },
       [](const Configuration& c) { EXPECT_EQ(c.metricsFile, "m.met"); }},
      {"--diagram of the saved one keeps its camera", [](CommandLineOptions& o) { o.diagram = "Orders"; },
       [](const Configuration& c) { EXPECT_EQ(c.windows[1].camera.zoom, 2.0f); }},
      {"--diagram of another fits the active window only", [](CommandLineOptions& o) { o.diagram = "Stock"; },
       [](const Configuration& c) {
         EXPECT_EQ(c.windows[1].diagram, "Stock");
         EXPECT_FALSE(c.windows[1].camera.zoom);
         EXPECT_EQ(c.windows[0].diagram, "Orders");
         EXPECT_EQ(c.windows[0].camera.zoom, 2.0f);
       }},
      {"--metric shows more after the saved ones", [](CommandLineOptions& o) { o.metrics = {"B", "A", "C"}; },
       [&](const Configuration& c) { EXPECT_EQ(shownNames(c), "A B(2D Pie) C X:Outer "); }},
      {"--area with and without a painter", [](CommandLineOptions& o) { o.areas = {"Y:Square", "X"}; },
       [&](const Configuration& c) { EXPECT_EQ(shownNames(c), "A Y:Square X:Outer "); }},
      {"--legend switches the legend on", [](CommandLineOptions& o) { o.legend = true; },
       [](const Configuration& c) {
         ASSERT_FALSE(c.settings.empty());
         EXPECT_EQ(c.settings.back().key, "Visualizer.General.Legend.Enable");
         EXPECT_TRUE(c.settings.back().flag);
       }},
  };
  for (const auto& [name, set, check] : cases) {
    SCOPED_TRACE(name);
    CommandLineOptions options;
    set(options);
    Configuration c = saved;
    mergeCommandLine(options, c);
    check(c);
  }
  // A file without windows gets one for --diagram.
  Configuration look;
  CommandLineOptions options;
  options.diagram = "Stock";
  mergeCommandLine(options, look);
  ASSERT_EQ(look.windows.size(), 1u);
  EXPECT_EQ(look.windows[0].diagram, "Stock");
  EXPECT_EQ(layoutWindowCount(look.layout), 1);
  EXPECT_EQ(look.activeWindow, 0);
}

}  // namespace
}  // namespace lumetra
