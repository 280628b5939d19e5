#pragma once
// The look settings the Preferences dialog offers, and what the program
// remembers of the settings store between runs.
//
// Each preference is one key of the settings store with the range a user may
// give it; the dialog shows a value as value * scale (an angle in degrees
// for a key kept in radians) and refuses one outside min..max. What the
// View menu switches and what the dialog sets is written to the program's
// own settings file (ProgramConfig.h) under "/Settings" and read back at the
// next start; a remembered value out of range is not taken.

#include <string>
#include <vector>

class wxConfigBase;

namespace lumetra {

struct Preference {
  enum class Kind { Number, Switch, Colour, Font };  // Font: a font file's path
  const char* key;       // the settings key
  const char* category;  // the dialog's heading
  const char* label;
  Kind kind;
  float min = 0.0f, max = 0.0f;  // numbers, as shown
  float scale = 1.0f;            // shown = stored * scale
};

const std::vector<Preference>& preferences();
const Preference* findPreference(const std::string& key);

// The settings key of the font file all text is drawn with.
inline constexpr const char* kTextFontKey = "Visualizer.General.FontFile";

// Whether shown (a value as the dialog shows it) lies in the preference's range.
bool preferenceInRange(const Preference& preference, float shown);
// Every preference back to its built-in default.
void resetPreferences();

// Writes the preferences and the View menu's switches; reads them back,
// skipping what is missing or out of range.
void rememberSettings(wxConfigBase& config);
void restoreRememberedSettings(wxConfigBase& config);

}  // namespace lumetra
