#include "app/frame/ReadProgress.h"

#include <wx/progdlg.h>
#include <wx/utils.h>

#include <algorithm>
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

bool runWithCountedProgress(wxWindow* parent, const std::string& title, const std::string& message,
                            const std::function<void(ProgressReport&)>& work, std::chrono::milliseconds delay) {
  wxBusyCursor busy;
  ProgressReport report;
  std::future<void> done = std::async(std::launch::async, [&] { work(report); });
  bool shown = false;
  if (done.wait_for(delay) != std::future_status::ready) {
    shown = true;
    constexpr int kRange = 1000;
    wxProgressDialog progress(wxString::FromUTF8(title), wxString::FromUTF8(message), kRange, parent,
                              wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME | wxPD_CAN_ABORT);
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
      std::size_t count = 0, total = 0;
      std::string text;
      report.read(count, total, text);
      const wxString shownText = wxString::FromUTF8(text.empty() ? message : text);
      // The full range would close the dialog before the work has ended.
      const bool goOn = total > 0 ? progress.Update(static_cast<int>(std::min<std::size_t>(
                                                        kRange - 1, count * kRange / total)), shownText)
                                  : progress.Pulse(shownText);
      if (!goOn) report.cancel();
    }
  }
  done.get();
  return shown;
}

}  // namespace lumetra
