#pragma once
// Edit > "Preferences...": one property grid over the look settings
// (Preferences.h). A value takes effect as soon as the grid accepts it; one
// out of its range is refused in the grid and changes nothing. "Reset to
// defaults" puts every preference back. The dialog is modeless: the frame
// keeps one and shows it again.

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "platform/FontLookup.h"

class wxPropertyGrid;
class wxPropertyGridEvent;

namespace lumetra {

class PreferencesDialog : public wxDialog {
 public:
  // changed runs after every accepted change and after a reset (the frame
  // repaints and remembers the settings).
  PreferencesDialog(wxWindow* parent, std::function<void()> changed);

  // Shows the settings as they stand now.
  void sync();
  wxPropertyGrid* grid() const { return grid_; }
  // The reset button's action.
  void resetToDefaults();

 private:
  void onChanging(wxPropertyGridEvent& event);
  void onChanged(wxPropertyGridEvent& event);

  // The name of the file property beside the font choice of key.
  static std::string fontFileProperty(const char* key);
  // The entry of fonts_ that file names, or -1.
  int fontIndex(const std::string& file) const;

  wxPropertyGrid* grid_ = nullptr;
  std::vector<InstalledFont> fonts_;  // the font choice's entries
  std::function<void()> changed_;
  bool syncing_ = false;  // values set by sync() are no user changes
};

}  // namespace lumetra
