#pragma once
// The toolkit's application object of the viewer: registers the image
// handlers, installs the program's configuration (app/ProgramConfig.h),
// creates the main frame where it was when it last closed (the first time:
// 1024 x 768, the two sashes placed, then maximised; app/FrameGeometry.h),
// shows it and, once the event loop runs, opens what the command line names.

#include <wx/app.h>

#include "app/commands/CommandLine.h"

namespace lumetra {

class mainFrame;

class mainApplication : public wxApp {
 public:
  explicit mainApplication(CommandLineOptions options) : options_(std::move(options)) {}
  bool OnInit() override;
  int OnExit() override { return 0; }
  // A toolkit consistency check that fails is reported on stderr, not in a
  // modal dialog in front of the user.
  void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                       const wxChar* msg) override;

 private:
  CommandLineOptions options_;
};

// The frame the application created; null before OnInit and in programs
// that build frames themselves (tests).
mainFrame* theFrame();

// Places the sashes as the application does at start-up: the left pane 0.3
// of the frame's width, the tree 0.5 of its height unless the notebook below
// needs more (the tree then keeps at least 120 pixels).
void placeSashes(mainFrame& frame);

// Whether an X display can be opened (DISPLAY set and reachable). The
// toolkit aborts when it cannot open one; the program asks first. The
// connection that answered stays open until the application starts, so the
// server cannot reset between the question and the toolkit's own connection.
bool displayAvailable();

}  // namespace lumetra
