#include "app/frame/FrameGeometry.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/splitter.h>

#include <algorithm>
#include <memory>

#include "app/frame/mainApplication.h"
#include "app/frame/mainFrame.h"

namespace lumetra {

namespace {

constexpr int kMinWidth = 200;
constexpr int kMinHeight = 150;
constexpr int kMaxSide = 100000;

struct Remembered {
  wxRect normal;
  bool maximized = false;
  int mainSash = 0;
  int leftSash = 0;
};

// Reads a whole number; false when the entry is missing or is not one.
bool readInt(wxConfigBase& config, const char* key, int& value) {
  wxString text;
  if (!config.Read(key, &text)) return false;
  long number = 0;
  if (!text.Trim().Trim(false).ToLong(&number) || number < -kMaxSide || number > kMaxSide) return false;
  value = static_cast<int>(number);
  return true;
}

bool readRemembered(wxConfigBase& config, Remembered& r) {
  if (!readInt(config, "/Frame/X", r.normal.x) || !readInt(config, "/Frame/Y", r.normal.y) ||
      !readInt(config, "/Frame/Width", r.normal.width) || !readInt(config, "/Frame/Height", r.normal.height) ||
      !readInt(config, "/Frame/MainSash", r.mainSash) || !readInt(config, "/Frame/LeftSash", r.leftSash))
    return false;
  int maximized = 0;
  r.maximized = readInt(config, "/Frame/Maximized", maximized) && maximized != 0;
  if (r.normal.width < kMinWidth || r.normal.height < kMinHeight) return false;
  return r.mainSash >= 1 && r.mainSash < r.normal.width && r.leftSash >= 1 && r.leftSash < r.normal.height;
}

}  // namespace

bool placeFrameAtStart(mainFrame& frame, wxConfigBase* config) {
  Remembered r;
  if (config == nullptr || !readRemembered(*config, r)) {
    frame.SetSize(wxSize(1024, 768));
    frame.Centre(wxBOTH);
    placeSashes(frame);
    frame.Maximize(true);
    return false;
  }
  // A screen taken away or made smaller since (a second monitor, another
  // resolution) leaves the place off every screen or the size beyond it:
  // the frame comes back on the main screen, no larger than its work area.
  const int display = wxDisplay::GetFromPoint(r.normal.GetTopLeft() + wxPoint(20, 20));
  const wxRect area = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
  if (!area.IsEmpty()) {
    r.normal.width = std::min(r.normal.width, area.width);
    r.normal.height = std::min(r.normal.height, area.height);
  }
  frame.SetSize(r.normal);
  if (display == wxNOT_FOUND) frame.Centre(wxBOTH);
  frame.mainSplitter()->SetSashPosition(r.mainSash);
  frame.leftSplitter()->SetSashPosition(r.leftSash);
  if (r.maximized) frame.Maximize(true);
  return true;
}

void rememberFrameGeometry(mainFrame& frame, wxConfigBase& config) {
  // The normal geometry as it last was: a maximised frame reports the
  // screen's size, not the one it returns to.
  auto normal = std::make_shared<wxRect>(frame.GetRect());
  auto follow = [&frame, normal](wxEvent& event) {
    event.Skip();
    if (!frame.IsMaximized() && !frame.IsIconized() && !frame.IsFullScreen()) *normal = frame.GetRect();
  };
  frame.Bind(wxEVT_SIZE, follow);
  frame.Bind(wxEVT_MOVE, follow);
  frame.Bind(wxEVT_CLOSE_WINDOW, [&frame, &config, normal](wxCloseEvent& event) {
    event.Skip();
    if (!frame.IsMaximized() && !frame.IsIconized()) *normal = frame.GetRect();
    config.Write("/Frame/X", normal->x);
    config.Write("/Frame/Y", normal->y);
    config.Write("/Frame/Width", normal->width);
    config.Write("/Frame/Height", normal->height);
    config.Write("/Frame/Maximized", frame.IsMaximized() ? 1 : 0);
    config.Write("/Frame/MainSash", frame.mainSplitter()->GetSashPosition());
    config.Write("/Frame/LeftSash", frame.leftSplitter()->GetSashPosition());
    config.Flush();
  });
}

}  // namespace lumetra
