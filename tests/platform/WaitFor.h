#pragma once
// Waiting in GUI tests for what a test needs, never for a fixed time: the
// toolkit is yielded to (and the thread rests a little between checks) until
// a condition holds or a generous limit passes. On an idle machine the wait
// ends at once; on a loaded one it takes what it takes, and only a condition
// that never comes true costs the whole limit.
//
//   ASSERT_TRUE(yieldUntil([&] { return list->isChecked(0); })) << "...";
//   ASSERT_TRUE(showAndWaitForPaint(frame, canvas)) << "...";

#include <wx/app.h>
#include <wx/event.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <chrono>
#include <functional>

namespace lumetra::test {

// Long enough for a starved CI machine (a load of ten and more on two
// cores); a passing test never waits it out.
inline constexpr std::chrono::milliseconds kGenerousWait{60000};

// Yields to the toolkit until done() holds (true) or limit has passed
// (false; done() is asked once more at the end).
inline bool yieldUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kGenerousWait) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    wxTheApp->Yield(true);
    if (done()) return true;
    wxMilliSleep(5);
  }
  return true;
}

// Shows frame and waits until window has been painted once: the X server
// has mapped it, exposed it and the toolkit has laid it out and delivered
// that paint. A test that draws or reads pixels after this is not
// interrupted by the first exposure later. False when no paint came.
inline bool showAndWaitForPaint(wxTopLevelWindow* frame, wxWindow* window,
                                std::chrono::milliseconds limit = kGenerousWait) {
  struct Seen : wxEvtHandler {
    bool painted = false;
    void onPaint(wxPaintEvent& event) {
      painted = true;
      event.Skip();  // the window paints as it always does
    }
  } seen;
  window->Bind(wxEVT_PAINT, &Seen::onPaint, &seen);
  frame->Show();
  const bool painted = yieldUntil([&] { return seen.painted; }, limit);
  window->Unbind(wxEVT_PAINT, &Seen::onPaint, &seen);
  return painted;
}

}  // namespace lumetra::test
