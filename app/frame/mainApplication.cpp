#include "app/frame/mainApplication.h"

#include <wx/config.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/splitter.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/frame/FrameGeometry.h"
#include "app/panels/PanelSupport.h"
#include "app/frame/ProgramConfig.h"
#include "app/frame/mainFrame.h"
#include "render/Canvas.h"
#include "render/Exceptions.h"

namespace lumetra {

namespace {
mainFrame* gFrame = nullptr;
// The least the tree keeps when the notebook needs the height.
constexpr int kMinTreeHeight = 120;
}

mainFrame* theFrame() { return gFrame; }

void placeSashes(mainFrame& frame) {
  const wxSize size = frame.GetSize();
  frame.mainSplitter()->SetSashPosition(static_cast<int>(static_cast<float>(size.GetWidth()) * 0.3f));
  // The tree gets half the height, unless the notebook below it would then be
  // too short for its pages' controls: the tree lists a few diagrams and
  // scrolls, the pages' sliders and lists do not.
  int treeHeight = static_cast<int>(static_cast<float>(size.GetHeight()) * 0.5f);
  const int room = frame.GetClientSize().GetHeight() - frame.leftSplitter()->GetSashSize();
  const int notebookNeeds = notebookSizeForPages(*frame.notebook()).GetHeight();
  if (room - treeHeight < notebookNeeds) treeHeight = std::max(kMinTreeHeight, room - notebookNeeds);
  frame.leftSplitter()->SetSashPosition(treeHeight);
}

namespace {
// The connection that proved the display reachable. It stays open until the
// toolkit has its own: an X server that resets when its last client leaves
// (Xvfb, as xvfb-run starts it) refuses connections while it resets, so
// closing the probe first made the toolkit's start fail now and then.
Display* gDisplayProbe = nullptr;

void releaseDisplayProbe() {
  if (gDisplayProbe != nullptr) XCloseDisplay(gDisplayProbe);
  gDisplayProbe = nullptr;
}
}  // namespace

bool displayAvailable() {
  if (gDisplayProbe != nullptr) return true;
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return false;
  gDisplayProbe = XOpenDisplay(name);
  return gDisplayProbe != nullptr;
}

void mainApplication::OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                                       const wxChar* msg) {
  std::fprintf(stderr, "lumetra: toolkit check failed at %s:%d in %s: %s %s\n", wxString(file).utf8_str().data(),
               line, wxString(func).utf8_str().data(), wxString(cond).utf8_str().data(),
               wxString(msg).utf8_str().data());
}

bool mainApplication::OnInit() {
  // The toolkit holds its own connection by now.
  releaseDisplayProbe();
  wxImage::AddHandler(new wxJPEGHandler);
  wxImage::AddHandler(new wxPNGHandler);
  // What the viewer remembers between runs goes to its own file only; no
  // code may make the toolkit's default configuration behind its back.
  wxConfigBase::DontCreateOnDemand();
  wxConfigBase* config = installProgramConfig(programConfigPath());
  mainFrame* frame = nullptr;
  try {
    frame = new mainFrame("Lumetra Visualizer", wxDefaultPosition, wxSize(1024, 768));
  } catch (const GraphicsException& e) {
    // The canvas cannot draw (its font is missing or damaged): nothing of
    // the viewer works without it, so the start ends here, with the reason.
    std::fprintf(stderr, "lumetra: %s\n", e.what());
    wxMessageBox(wxString::FromUTF8(e.what()), "Lumetra Visualizer", wxOK | wxICON_ERROR);
    return false;
  }
  gFrame = frame;
  frame->Bind(wxEVT_DESTROY, [frame](wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == frame) gFrame = nullptr;
    event.Skip();
  });
  placeFrameAtStart(*frame, config);
  rememberFrameGeometry(*frame, *config);
  frame->Show(true);
  SetTopWindow(frame);
  // Open what the command line names once the canvas has its final size
  // (its first paint comes after the toolkit placed the panes), so that the
  // diagram is fitted to the window the user sees.
  auto opened = std::make_shared<bool>(false);
  frame->canvas()->Bind(wxEVT_PAINT, [this, opened](wxPaintEvent& event) {
    event.Skip();
    if (*opened) return;
    *opened = true;
    CallAfter([this] {
      if (gFrame != nullptr) gFrame->openFromCommandLine(options_);
    });
  });
  return true;
}

}  // namespace lumetra
