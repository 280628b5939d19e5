#include "app/frame/ReadProgress.h"

#include <wx/progdlg.h>
#include <wx/utils.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <future>
#include <memory>
#include <thread>
#include <vector>

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

namespace {

// A piece of abandonable work and how it ended, shared by its thread and
// whoever waits for it.
struct WorkState {
  ProgressReport report;
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
  std::exception_ptr error;
};

// Threads of work the user abandoned, joined once they have ended.
class AbandonedWork {
 public:
  static AbandonedWork& instance() {
    static AbandonedWork work;
    return work;
  }
  void add(std::thread thread, std::shared_ptr<WorkState> state) {
    std::lock_guard lock(mutex_);
    reapEnded();
    running_.push_back({std::move(thread), std::move(state)});
  }
  std::size_t running() {
    std::lock_guard lock(mutex_);
    reapEnded();
    return running_.size();
  }
  void waitForAll() {
    std::vector<Entry> all;
    {
      std::lock_guard lock(mutex_);
      all.swap(running_);
    }
    for (Entry& entry : all) entry.thread.join();
  }

 private:
  struct Entry {
    std::thread thread;
    std::shared_ptr<WorkState> state;
  };
  static bool hasEnded(WorkState& state) {
    std::lock_guard lock(state.mutex);
    return state.finished;
  }
  void reapEnded() {
    for (auto it = running_.begin(); it != running_.end();) {
      if (!hasEnded(*it->state)) {
        ++it;
        continue;
      }
      it->thread.join();
      it = running_.erase(it);
    }
  }
  std::mutex mutex_;
  std::vector<Entry> running_;
};

}  // namespace

WorkOutcome runAbandonable(wxWindow* parent, const std::string& title, const std::string& message,
                           std::function<void(ProgressReport&)> work,
                           const std::function<void(ProgressReport&)>& started, std::chrono::milliseconds delay) {
  wxBusyCursor busy;
  auto state = std::make_shared<WorkState>();
  std::thread thread([state, work = std::move(work)] {
    std::exception_ptr error;
    try {
      work(state->report);
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(state->mutex);
    state->error = error;
    state->finished = true;
    state->ended.notify_all();
  });
  if (started) started(state->report);
  const bool* finished = &state->finished;
  auto waitFor = [&](std::chrono::milliseconds step) {
    std::unique_lock lock(state->mutex);
    return state->ended.wait_for(lock, step, [&] { return *finished; });
  };
  auto cancelled = [&] { return state->report.cancelFlag()->load(); };

  bool done = false;
  const auto showFrom = std::chrono::steady_clock::now() + delay;
  while (!cancelled() && !(done = waitFor(std::chrono::milliseconds(20))) &&
         std::chrono::steady_clock::now() < showFrom) {
  }
  if (!done && !cancelled()) {
    constexpr int kRange = 1000;
    wxProgressDialog progress(wxString::FromUTF8(title), wxString::FromUTF8(message), kRange, parent,
                              wxPD_APP_MODAL | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME | wxPD_CAN_ABORT);
    while (!cancelled() && !(done = waitFor(std::chrono::milliseconds(50)))) {
      std::size_t count = 0, total = 0;
      std::string text;
      state->report.read(count, total, text);
      const wxString shownText = wxString::FromUTF8(text.empty() ? message : text);
      const bool goOn = total > 0 ? progress.Update(static_cast<int>(std::min<std::size_t>(
                                                        kRange - 1, count * kRange / total)), shownText)
                                  : progress.Pulse(shownText);
      if (!goOn) state->report.cancel();
    }
  }
  if (cancelled()) {
    // Its result is dropped on its own thread; nothing here waits for it.
    AbandonedWork::instance().add(std::move(thread), state);
    return WorkOutcome::Abandoned;
  }
  thread.join();
  if (state->error) std::rethrow_exception(state->error);
  return WorkOutcome::Finished;
}

std::size_t abandonedWorkRunning() { return AbandonedWork::instance().running(); }

void waitForAbandonedWork() { AbandonedWork::instance().waitForAll(); }

}  // namespace lumetra
