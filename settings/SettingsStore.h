#pragma once
// The process-wide store of named, typed look-and-feel values.
//
// Four independent maps (float, bool, colour, text) ordered by key. A lookup
// never fails: an unknown key is inserted with the type's zero value (0.0,
// false, opaque black, empty) and read as that. Painters read values at each use.

#include <map>
#include <string>

#include "settings/Color.h"

namespace lumetra {

class SettingsStore {
 public:
  // The one store of the process, filled with the defaults on first use.
  static SettingsStore& instance();

  void setFloat(std::string key, float value);
  void setBool(std::string key, bool value);
  void setColor(std::string key, Color value);
  void setString(std::string key, std::string value);

  float& getFloat(std::string key);
  bool getBool(std::string key);
  Color getColor(std::string key);
  std::string getString(std::string key);

  // Whether a key exists in a map (lookups above insert missing keys).
  bool hasFloat(const std::string& key) const { return floats_.count(key) != 0; }
  bool hasBool(const std::string& key) const { return bools_.count(key) != 0; }
  bool hasColor(const std::string& key) const { return colors_.count(key) != 0; }
  bool hasString(const std::string& key) const { return strings_.count(key) != 0; }
  std::size_t floatCount() const { return floats_.size(); }
  std::size_t boolCount() const { return bools_.size(); }
  std::size_t colorCount() const { return colors_.size(); }
  // Every key of a map with its value, in key order (for saving them all).
  const std::map<std::string, float>& floats() const { return floats_; }
  const std::map<std::string, bool>& bools() const { return bools_; }
  const std::map<std::string, Color>& colors() const { return colors_; }
  const std::map<std::string, std::string>& strings() const { return strings_; }

 private:
  std::map<std::string, float> floats_;
  std::map<std::string, bool> bools_;
  std::map<std::string, Color> colors_;
  std::map<std::string, std::string> strings_;
};

// Sets the built-in defaults, in their fixed order.
void applyDefaultSettings(SettingsStore& store);

// Shorthand for SettingsStore::instance().
inline SettingsStore& settings() { return SettingsStore::instance(); }

}  // namespace lumetra
