#include "app/mainApplication.h"

#include <wx/image.h>
#include <wx/splitter.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "app/mainFrame.h"

namespace lumetra {

namespace {
mainFrame* gFrame = nullptr;
}

mainFrame* theFrame() { return gFrame; }

void placeSashes(mainFrame& frame) {
  const wxSize size = frame.GetSize();
  frame.mainSplitter()->SetSashPosition(static_cast<int>(static_cast<float>(size.GetWidth()) * 0.3f));
  frame.leftSplitter()->SetSashPosition(static_cast<int>(static_cast<float>(size.GetHeight()) * 0.5f));
}

bool displayAvailable() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return false;
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return false;
  XCloseDisplay(display);
  return true;
}

void mainApplication::OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                                       const wxChar* msg) {
  std::fprintf(stderr, "lumetra: toolkit check failed at %s:%d in %s: %s %s\n", wxString(file).utf8_str().data(),
               line, wxString(func).utf8_str().data(), wxString(cond).utf8_str().data(),
               wxString(msg).utf8_str().data());
}

bool mainApplication::OnInit() {
  wxImage::AddHandler(new wxJPEGHandler);
  wxImage::AddHandler(new wxPNGHandler);
  auto* frame = new mainFrame("Lumetra Visualizer", wxDefaultPosition, wxSize(1024, 768));
  gFrame = frame;
  frame->Bind(wxEVT_DESTROY, [frame](wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == frame) gFrame = nullptr;
    event.Skip();
  });
  placeSashes(*frame);
  frame->Maximize(true);
  frame->Centre(wxBOTH);
  frame->Show(true);
  SetTopWindow(frame);
  // Once the frame is on screen (the canvas can draw), open what the command
  // line names.
  CallAfter([this] {
    if (gFrame != nullptr) gFrame->openFromCommandLine(options_);
  });
  return true;
}

}  // namespace lumetra
