#pragma once
// An undoable change of box positions on a diagram (a Ctrl-drag, "Arrange
// diagram", "Reset layout"), for the frame's wxCommandProcessor: Do puts the
// boxes where they were after the change, Undo where they were before,
// exactly as recorded. The snapshots point into the loaded model, so the
// frame clears its command processor whenever that model is closed or
// replaced; an undo after that has nothing to undo.

#include <functional>

#include <wx/cmdproc.h>

#include "model/LayoutSnapshot.h"

namespace lumetra {

class LayoutCommand : public wxCommand {
 public:
  // shown runs after every Do and Undo (the frame redraws the views).
  // alreadyDone: the boxes stand as after already (a drag the views have
  // shown as it went), so the first Do changes and redraws nothing.
  LayoutCommand(const wxString& name, LayoutSnapshot before, LayoutSnapshot after, std::function<void()> shown,
                bool alreadyDone = false)
      : wxCommand(true, name),
        before_(std::move(before)),
        after_(std::move(after)),
        shown_(std::move(shown)),
        skipDo_(alreadyDone) {}

  bool Do() override {
    if (skipDo_) {
      skipDo_ = false;
      return true;
    }
    after_.restore();
    if (shown_) shown_();
    return true;
  }
  bool Undo() override {
    before_.restore();
    if (shown_) shown_();
    return true;
  }

 private:
  LayoutSnapshot before_, after_;
  std::function<void()> shown_;
  bool skipDo_;
};

}  // namespace lumetra
