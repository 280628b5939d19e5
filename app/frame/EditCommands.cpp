#include "app/frame/EditCommands.h"

#include <wx/menu.h>

#include "app/document/Document.h"
#include "app/frame/LayoutCommand.h"
#include "app/frame/PreferencesDialog.h"
#include "app/panels/WindowIds.h"

namespace lumetra {

EditCommands::EditCommands(Document& document, std::function<void()> shown, std::function<void()> lookChanged)
    : document_(document), shown_(std::move(shown)), lookChanged_(std::move(lookChanged)) {
  processor_.SetUndoAccelerator("\tCtrl+Z");
  processor_.SetRedoAccelerator("\tCtrl+Y");
}

EditCommands::~EditCommands() = default;

wxMenu* EditCommands::buildMenu() {
  auto* menu = new wxMenu;
  menu->Append(wxID_UNDO, "&Undo\tCtrl+Z");
  menu->Append(wxID_REDO, "&Redo\tCtrl+Y");
  menu->AppendSeparator();
  menu->Append(ids::ResetLayout, "Reset layout", "Put the shown diagram's boxes back where the model file has them");
  menu->AppendSeparator();
  menu->Append(wxID_PREFERENCES, "Preferences...", "Arrow size, text sizes, colours, stereo and start-up view");
  processor_.SetEditMenu(menu);
  processor_.Initialize();  // labels and enables Undo and Redo
  return menu;
}

bool EditCommands::onCommand(int id, Diagram* shown, wxWindow* parent) {
  switch (id) {
    case wxID_UNDO: processor_.Undo(); return true;
    case wxID_REDO: processor_.Redo(); return true;
    case ids::ResetLayout: resetLayout(shown); return true;
    case wxID_PREFERENCES: showPreferences(parent); return true;
    default: return false;
  }
}

void EditCommands::moved(const LayoutSnapshot& before, const wxString& name) {
  LayoutSnapshot after = before.now();
  if (after == before) return;
  processor_.Submit(new LayoutCommand(name, before, std::move(after), shown_, true));
}

void EditCommands::resetLayout(Diagram* shown) {
  const LayoutSnapshot* file = document_.fileLayout(shown);
  if (file == nullptr) return;
  const LayoutSnapshot now = file->now();
  if (now == *file) return;
  processor_.Submit(new LayoutCommand("Reset layout", now, *file, shown_));
}

void EditCommands::modelReplaced() {
  processor_.ClearCommands();
  processor_.SetMenuStrings();  // Undo and Redo show there is nothing to do
}

void EditCommands::showPreferences(wxWindow* parent) {
  if (preferences_ == nullptr) preferences_ = new PreferencesDialog(parent, lookChanged_);
  preferences_->sync();
  preferences_->Show();
  preferences_->Raise();
}

}  // namespace lumetra
