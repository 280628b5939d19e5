#include "app/frame/ReadProgress.h"

#include <wx/progdlg.h>
#include <wx/utils.h>

#include <future>
#include <memory>

namespace lumetra {

bool runWithProgress(wxWindow* parent, const std::string& title, const std::string& message,
                     const std::function<void()>& work, std::chrono::milliseconds delay) {
  wxBusyCursor busy;
  std::future<void> done = std::async(std::launch::async, work);
  bool shown = false;
  if (done.wait_for(delay) != std::future_status::ready) {
    shown = true;
    wxProgressDialog progress(wxString::FromUTF8(title), wxString::FromUTF8(message), 100, parent,
                              wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME);
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) progress.Pulse();
  }
  done.get();  // rethrows what the work threw
  return shown;
}

}  // namespace lumetra
