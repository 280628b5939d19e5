#include "app/panels/PanelSupport.h"

#include <wx/bookctrl.h>
#include <wx/sizer.h>

#include <sstream>

#include "app/panels/ViewerLink.h"

namespace lumetra {

void bindSliderScroll(wxEvtHandler* receiver, int id, std::function<void()> handler) {
  static const wxEventType kinds[] = {wxEVT_SCROLL_TOP,      wxEVT_SCROLL_BOTTOM,     wxEVT_SCROLL_LINEUP,
                                      wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP,     wxEVT_SCROLL_PAGEDOWN,
                                      wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED};
  for (wxEventType kind : kinds) {
    receiver->Bind(wxEventTypeTag<wxScrollEvent>(kind), [handler](wxScrollEvent&) { handler(); }, id);
  }
}

wxSize notebookSizeForPages(const wxBookCtrlBase& book) {
  wxSize page(0, 0);
  for (std::size_t i = 0; i < book.GetPageCount(); ++i) {
    const wxWindow* p = book.GetPage(i);
    page.IncTo(p->GetSizer() != nullptr ? p->GetSizer()->GetMinSize() : p->GetBestSize());
  }
  return book.CalcSizeFromPage(page);
}

void RefreshCoalescer::request(bool erase) {
  erase_ = erase_ || erase;
  areasOnly_ = false;
  requestAreas();
}

void RefreshCoalescer::requestAreas() {
  if (pending_) return;
  pending_ = true;
  owner_->CallAfter([this] { flush(); });
}

void RefreshCoalescer::flush() {
  if (!pending_) return;
  const bool erase = erase_;
  const bool areasOnly = areasOnly_;
  pending_ = false;
  erase_ = false;
  areasOnly_ = true;
  if (areasOnly) link_->refreshAreas();
  else link_->refreshCanvas(erase);
}

std::string floatText(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace lumetra
