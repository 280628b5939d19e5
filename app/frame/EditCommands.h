#pragma once
// The "&Edit" menu and what it acts on: Undo and Redo (Ctrl-Z, Ctrl-Y) of
// box moves through a wxCommandProcessor, "Reset layout" and
// "Preferences...".
//
// Moves are recorded as LayoutCommands: a Ctrl-drag (reported by the canvas
// when the button is released), an arrangement, a reset. Their snapshots
// point into the loaded model, so modelReplaced() must run whenever that
// model is closed or replaced; from then on Undo has nothing to undo.
//
// The frame owns one, builds the menu through it and forwards the menu's
// commands; shown() redraws every view after boxes moved, lookChanged()
// after a preference changed.

#include <functional>
#include <memory>

#include <wx/cmdproc.h>

#include "model/LayoutSnapshot.h"

class wxMenu;
class wxWindow;

namespace lumetra {

class Diagram;
class Document;
class PreferencesDialog;

class EditCommands {
 public:
  EditCommands(Document& document, std::function<void()> shown, std::function<void()> lookChanged);
  ~EditCommands();

  // A new "&Edit" menu whose Undo and Redo items the processor keeps
  // labelled and enabled.
  wxMenu* buildMenu();
  // Runs a command of the menu (wxID_UNDO, wxID_REDO, ids::ResetLayout,
  // wxID_PREFERENCES); false for any other id. shown: the diagram the
  // active view shows (null: none), which "Reset layout" acts on.
  bool onCommand(int id, Diagram* shown, wxWindow* parent);

  // Boxes moved from before to where they are now (a Ctrl-drag, an
  // arrangement): recorded for Undo under that name.
  void moved(const LayoutSnapshot& before, const wxString& name = "Move");
  // The shown diagram's boxes back where its file puts them (undoable).
  void resetLayout(Diagram* shown);
  void modelReplaced();

  wxCommandProcessor& processor() { return processor_; }
  // The Preferences dialog once it was opened, else null.
  PreferencesDialog* preferencesDialog() const { return preferences_; }
  void showPreferences(wxWindow* parent);

 private:
  Document& document_;
  std::function<void()> shown_;
  std::function<void()> lookChanged_;
  wxCommandProcessor processor_;
  PreferencesDialog* preferences_ = nullptr;  // a child of the frame, destroyed with it
};

}  // namespace lumetra
