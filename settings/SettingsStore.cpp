#include "settings/SettingsStore.h"

#include <cstdint>
#include <string>
#include <utility>

namespace lumetra {

SettingsStore& SettingsStore::instance() {
  // Built and filled on first use, so no reader can see it before the
  // defaults are in, whatever the order of static initialisation.
  static SettingsStore store = [] {
    SettingsStore s;
    applyDefaultSettings(s);
    return s;
  }();
  return store;
}

void SettingsStore::setFloat(std::string key, float value) { floats_[std::move(key)] = value; }
void SettingsStore::setBool(std::string key, bool value) { bools_[std::move(key)] = value; }
void SettingsStore::setColor(std::string key, Color value) { colors_[std::move(key)] = value; }
void SettingsStore::setString(std::string key, std::string value) { strings_[std::move(key)] = std::move(value); }

float& SettingsStore::getFloat(std::string key) { return floats_.try_emplace(std::move(key), 0.0f).first->second; }
bool SettingsStore::getBool(std::string key) { return bools_.try_emplace(std::move(key), false).first->second; }
Color SettingsStore::getColor(std::string key) { return colors_.try_emplace(std::move(key), Color()).first->second; }
std::string SettingsStore::getString(std::string key) { return strings_.try_emplace(std::move(key)).first->second; }

namespace {

// The fill and outline colour of a legend or hover box (ARGB words).
void setBoxColours(SettingsStore& s, const std::string& box, std::uint32_t fill, std::uint32_t outline) {
  s.setColor(box + ".FillColor", Color(fill));
  s.setColor(box + ".OutlineColor", Color(outline));
}

}  // namespace

void applyDefaultSettings(SettingsStore& s) {
  s.setFloat("Canvas.Separator.Size", 3.0f);
  s.setColor("Canvas.Separator.Color", Color(0x40000000u));
  s.setBool("Visualizer.General.Associations", true);
  s.setBool("Visualizer.General.Generalizations", true);
  s.setBool("Visualizer.General.Dependencies", true);
  s.setBool("Visualizer.General.Abstractions", true);
  s.setBool("Visualizer.General.Messages", true);
  s.setBool("Visualizer.General.Transitions", true);
  s.setBool("Visualizer.General.Comments", false);
  s.setBool("Visualizer.General.Methods", true);
  s.setBool("Visualizer.General.Attributes", true);
  s.setBool("Visualizer.General.RelationNames", false);
  s.setBool("Visualizer.General.ElementNames", true);
  s.setBool("Visualizer.General.Shadows", true);
  // Feature lines as "+ name : Type" and "+ name(p : Type) : Result".
  s.setBool("Visualizer.General.TypesAndVisibility", false);
  // Text and curves too small to see are drawn simpler (render/GLPainter.h).
  s.setBool("Visualizer.General.LevelOfDetail", true);
  s.setColor("Visualizer.General.SelectColor", Color(0x4C0033CCu));
  s.setFloat("Visualizer.General.RelationWidth", 12.0f);
  // "Seperation" is the key's spelling; every reader uses it.
  s.setFloat("Visualizer.General.Stereo.EyeSeperation", 1.5f);
  s.setFloat("Visualizer.General.Stereo.FocusDistance", 100.0f);
  setBoxColours(s, "Visualizer.General.Legend", 0xDDFFFFDDu, 0xDD000000u);
  s.setColor("Visualizer.General.Legend.FontColor", Color(0xDD000000u));
  s.setFloat("Visualizer.General.Legend.FontSize", 10.0f);
  s.setFloat("Visualizer.General.Legend.Spacing", 3.0f);
  s.setFloat("Visualizer.General.Legend.Transparency", 0.7f);
  s.setBool("Visualizer.General.Legend.Enable", false);
  s.setFloat("Visualizer.UMLModel.ShadowSize", 3.0f);
  s.setFloat("Visualizer.UMLModel.TextSpacing", 3.0f);
  s.setFloat("Visualizer.UMLModel.CommentNoteFraction", 3.0f);
  s.setFloat("Visualizer.UMLModel.ArrowSize", 25.0f);
  s.setFloat("Visualizer.UMLModel.ArrowAngle", 0.27f);  // radians
  s.setFloat("Visualizer.UMLModel.MultiplicityDistance", 16.0f);
  s.setFloat("Visualizer.UMLModel.MessageSize", 16.0f);
  s.setFloat("Visualizer.UMLModel.StateRounding", 6.0f);
  s.setColor("Visualizer.UMLModel.ShadowColor", Color(0.6f, 0.6f, 0.6f, 0.6f));
  // Shapes whose file gives no colours or text size of their own are drawn
  // with these (the Preferences dialog sets them).
  s.setFloat("Visualizer.UMLModel.FontSize", 10.0f);
  // The font file all text is drawn with: a bare name is looked for where
  // the program keeps its data (platform/FontLookup.h), a path used as is.
  s.setString("Visualizer.General.FontFile", "arial.ttf");
  s.setColor("Visualizer.UMLModel.BoxColor", Color(1.0f, 1.0f, 1.0f, 0.0f));
  s.setColor("Visualizer.UMLModel.LineColor", Color(0.0f, 0.0f, 0.0f, 1.0f));
  // New windows start in perspective.
  s.setBool("Canvas.PerspectiveAtStart", false);
  s.setFloat("Visualizer.SimpleMetrics.Spacing", 0.025f);
  s.setFloat("HoverInfo.Spacing", 5.0f);
  s.setFloat("HoverInfo.FontSize", 8.0f);
  setBoxColours(s, "HoverInfo.Int", 0xDDFFDDDDu, 0xDD000000u);
  setBoxColours(s, "HoverInfo.Bool", 0xDDDDDDFFu, 0xDD000000u);
  setBoxColours(s, "HoverInfo.ModelElement", 0xDDDDFFDDu, 0xDD000000u);
}

}  // namespace lumetra
