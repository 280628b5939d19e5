#include "app/frame/Preferences.h"

#include <wx/config.h>

#include <cmath>
#include <cstdio>

#include "app/frame/ViewMenu.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

constexpr float kDegreesPerRadian = 57.29578f;
const char* const kGroup = "/Settings/";

wxString entryOf(const char* key) { return wxString(kGroup) + key; }

}  // namespace

const std::vector<Preference>& preferences() {
  using K = Preference::Kind;
  static const std::vector<Preference> items = {
      {"Visualizer.UMLModel.ArrowSize", "Relations", "Arrow size", K::Number, 2.0f, 200.0f},
      {"Visualizer.UMLModel.ArrowAngle", "Relations", "Arrow angle (degrees)", K::Number, 2.0f, 80.0f,
       kDegreesPerRadian},
      {"Visualizer.General.RelationWidth", "Relations", "Selected relation width", K::Number, 1.0f, 100.0f},
      {kTextFontKey, "Text", "Text font", K::Font},
      {"Visualizer.UMLModel.FontSize", "Text", "Box text size", K::Number, 4.0f, 72.0f},
      {"HoverInfo.FontSize", "Text", "Hover box text size", K::Number, 4.0f, 72.0f},
      {"Visualizer.General.Legend.FontSize", "Text", "Legend text size", K::Number, 4.0f, 72.0f},
      {"Visualizer.UMLModel.BoxColor", "Colours", "Boxes", K::Colour},
      {"Visualizer.UMLModel.LineColor", "Colours", "Lines and outlines", K::Colour},
      {"Visualizer.General.SelectColor", "Colours", "Selection", K::Colour},
      {"HoverInfo.ModelElement.FillColor", "Colours", "Hover boxes", K::Colour},
      {"Visualizer.UMLModel.ShadowColor", "Colours", "Shadows", K::Colour},
      {"Visualizer.General.Stereo.EyeSeperation", "Stereo", "Eye distance", K::Number, 0.0f, 50.0f},
      {"Visualizer.General.Stereo.FocusDistance", "Stereo", "Focus distance", K::Number, 1.0f, 100000.0f},
      {"Canvas.PerspectiveAtStart", "View", "Perspective at start", K::Switch},
      {"Visualizer.General.LevelOfDetail", "View", "Level of detail", K::Switch},
  };
  return items;
}

const Preference* findPreference(const std::string& key) {
  for (const Preference& p : preferences())
    if (key == p.key) return &p;
  return nullptr;
}

bool preferenceInRange(const Preference& preference, float shown) {
  return std::isfinite(shown) && shown >= preference.min && shown <= preference.max;
}

void resetPreferences() {
  SettingsStore defaults;
  applyDefaultSettings(defaults);
  SettingsStore& s = settings();
  for (const Preference& p : preferences()) {
    switch (p.kind) {
      case Preference::Kind::Number: s.setFloat(p.key, defaults.getFloat(p.key)); break;
      case Preference::Kind::Switch: s.setBool(p.key, defaults.getBool(p.key)); break;
      case Preference::Kind::Colour: s.setColor(p.key, defaults.getColor(p.key)); break;
      case Preference::Kind::Font: s.setString(p.key, defaults.getString(p.key)); break;
    }
  }
}

void rememberSettings(wxConfigBase& config) {
  SettingsStore& s = settings();
  for (const Preference& p : preferences()) {
    switch (p.kind) {
      case Preference::Kind::Number: config.Write(entryOf(p.key), static_cast<double>(s.getFloat(p.key))); break;
      case Preference::Kind::Switch: config.Write(entryOf(p.key), s.getBool(p.key)); break;
      case Preference::Kind::Colour: {
        const Color c = s.getColor(p.key);
        char text[96];
        std::snprintf(text, sizeof text, "%.9g %.9g %.9g %.9g", c.r, c.g, c.b, c.a);
        config.Write(entryOf(p.key), wxString::FromAscii(text));
        break;
      }
      case Preference::Kind::Font: config.Write(entryOf(p.key), wxString::FromUTF8(s.getString(p.key))); break;
    }
  }
  for (const DisplaySwitch& d : displaySwitches()) config.Write(entryOf(d.key), s.getBool(d.key));
  config.Flush();
}

void restoreRememberedSettings(wxConfigBase& config) {
  SettingsStore& s = settings();
  bool flag = false;
  for (const Preference& p : preferences()) {
    const wxString entry = entryOf(p.key);
    if (!config.HasEntry(entry)) continue;
    switch (p.kind) {
      case Preference::Kind::Number: {
        double value = 0.0;
        if (config.Read(entry, &value) && preferenceInRange(p, static_cast<float>(value) * p.scale))
          s.setFloat(p.key, static_cast<float>(value));
        break;
      }
      case Preference::Kind::Switch:
        if (config.Read(entry, &flag)) s.setBool(p.key, flag);
        break;
      case Preference::Kind::Colour: {
        Color c;
        const std::string text = config.Read(entry, wxString()).ToStdString();
        if (std::sscanf(text.c_str(), "%f %f %f %f", &c.r, &c.g, &c.b, &c.a) != 4) break;
        bool valid = true;
        for (float channel : {c.r, c.g, c.b, c.a}) valid = valid && channel >= 0.0f && channel <= 1.0f;
        if (valid) s.setColor(p.key, c);
        break;
      }
      case Preference::Kind::Font: {
        // A file that is gone is found out when the font is loaded.
        const wxString file = config.Read(entry, wxString());
        if (!file.empty()) s.setString(p.key, file.utf8_string());
        break;
      }
    }
  }
  for (const DisplaySwitch& d : displaySwitches())
    if (config.Read(entryOf(d.key), &flag)) s.setBool(d.key, flag);
}

}  // namespace lumetra
