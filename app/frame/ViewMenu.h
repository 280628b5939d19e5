#pragma once
// The "&View" menu: check items for the diagram painter's display switches
// and the legend. Each item stands for one bool setting; the painter reads
// the settings at every recording, so a switch applies to every window at
// the next uncached repaint.

#include <string>
#include <vector>

class wxMenu;
class wxMenuBar;

namespace lumetra {

struct DisplaySwitch {
  int id;           // the menu item
  const char* key;  // the bool setting it switches
  const char* label;
};

// In menu order (a separator goes before the legend).
const std::vector<DisplaySwitch>& displaySwitches();
// The switch of a menu item, or null.
const DisplaySwitch* findDisplaySwitch(int id);

// A new menu with every item checked as its setting stands.
wxMenu* buildViewMenu();
// Checks the items of a menu bar as the settings stand (after settings were
// changed elsewhere, a loaded configuration say).
void syncViewMenu(wxMenuBar* bar);

}  // namespace lumetra
