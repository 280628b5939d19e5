#include "app/frame/ViewMenu.h"

#include <wx/menu.h>

#include "app/panels/WindowIds.h"
#include "settings/SettingsStore.h"

namespace lumetra {

const std::vector<DisplaySwitch>& displaySwitches() {
  static const std::vector<DisplaySwitch> switches = {
      {ids::ViewAssociations, "Visualizer.General.Associations", "&Associations"},
      {ids::ViewGeneralizations, "Visualizer.General.Generalizations", "&Generalizations"},
      {ids::ViewDependencies, "Visualizer.General.Dependencies", "&Dependencies"},
      {ids::ViewAttributes, "Visualizer.General.Attributes", "A&ttributes"},
      {ids::ViewMethods, "Visualizer.General.Methods", "&Methods"},
      {ids::ViewElementNames, "Visualizer.General.ElementNames", "&Element names"},
      {ids::ViewRelationNames, "Visualizer.General.RelationNames", "&Relation names"},
      {ids::ViewShadows, "Visualizer.General.Shadows", "&Shadows"},
      {ids::ViewComments, "Visualizer.General.Comments", "&Comments"},
      {ids::ViewLegend, "Visualizer.General.Legend.Enable", "&Legend"},
  };
  return switches;
}

const DisplaySwitch* findDisplaySwitch(int id) {
  for (const DisplaySwitch& s : displaySwitches())
    if (s.id == id) return &s;
  return nullptr;
}

wxMenu* buildViewMenu() {
  auto* menu = new wxMenu;
  for (const DisplaySwitch& s : displaySwitches()) {
    if (s.id == ids::ViewLegend) menu->AppendSeparator();
    menu->AppendCheckItem(s.id, s.label);
    menu->Check(s.id, settings().getBool(s.key));
  }
  return menu;
}

void syncViewMenu(wxMenuBar* bar) {
  if (bar == nullptr) return;
  for (const DisplaySwitch& s : displaySwitches())
    if (bar->FindItem(s.id) != nullptr) bar->Check(s.id, settings().getBool(s.key));
}

}  // namespace lumetra
