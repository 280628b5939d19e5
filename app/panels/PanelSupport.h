#pragma once
// Small pieces the option pages share: binding every scroll notification of
// a slider to one handler, a redraw request that collapses a burst of
// slider events into one canvas refresh, and the size a notebook of
// scrolling pages needs.

#include <wx/event.h>
#include <wx/gdicmn.h>
#include <wx/window.h>

#include <functional>
#include <string>

class wxBookCtrlBase;

namespace lumetra {

class ViewerLink;

// The size a notebook needs to show every control of its largest page. The
// pages scroll, so their own best size says nothing: their sizers' minimum
// sizes are asked (a page without a sizer gives its best size).
wxSize notebookSizeForPages(const wxBookCtrlBase& book);

// Binds all nine scroll notifications (top, bottom, line and page steps,
// thumb track and release, end of scroll) of the control with that ID to
// handler, so a slider acts while its thumb is dragged.
void bindSliderScroll(wxEvtHandler* receiver, int id, std::function<void()> handler);

// Asks the frame to repaint the canvas at most once per pass of the event
// loop. A dragged slider sends a scroll event for every pointer move; each
// handler stores its value at once and calls request() or requestAreas(),
// and the repaint (which recomputes the area shapes) runs when the queued
// events are done, with the newest values. Erase requests accumulate until
// that repaint; the repaint is an area-only refresh (ViewerLink::
// refreshAreas) when every request since the last one was.
class RefreshCoalescer {
 public:
  // owner: the window whose event queue carries the deferred repaint; the
  // request dies with it.
  RefreshCoalescer(wxWindow* owner, ViewerLink* link) : owner_(owner), link_(link) {}
  void request(bool erase = false);
  // A change of what the areas show, nothing else.
  void requestAreas();
  // Runs a pending repaint now (tests, and callers that need the picture).
  void flush();
  bool pending() const { return pending_; }

 private:
  wxWindow* owner_;
  ViewerLink* link_;
  bool pending_ = false;
  bool erase_ = false;
  bool areasOnly_ = true;
};

// A float as a default-formatted stream writes it ("1" for 1.0f, "1.25",
// "0.005"): the tooltips of the area parameter sliders.
std::string floatText(float value);

}  // namespace lumetra
