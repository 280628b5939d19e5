#pragma once
// Reading a file without freezing the window: the work runs on a worker
// thread while the GUI thread shows a busy cursor; when it takes longer than
// a second, a progress dialog (application-modal, so no command can start
// meanwhile) pulses until it ends. Repaints still happen while the dialog
// is up, so the work must not touch anything the window draws: readers fill
// a model or metric set of their own that the caller adopts afterwards.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>

class wxWindow;

namespace lumetra {

inline constexpr std::chrono::milliseconds kProgressDelay{1000};

// Runs work to its end and returns; an exception thrown by work is rethrown
// here. Whether the progress dialog was shown is returned (tests ask).
bool runWithProgress(wxWindow* parent, const std::string& title, const std::string& message,
                     const std::function<void()>& work, std::chrono::milliseconds delay = kProgressDelay);

// How far counted work is, written by the work's threads and read by the
// dialog; and whether the user asked to stop.
class ProgressReport {
 public:
  void set(std::size_t done, std::size_t total, std::string text) {
    std::lock_guard lock(mutex_);
    done_ = done;
    total_ = total;
    text_ = std::move(text);
  }
  // Done and total (0 while unknown) and the text, at one moment.
  void read(std::size_t& done, std::size_t& total, std::string& text) const {
    std::lock_guard lock(mutex_);
    done = done_;
    total = total_;
    text = text_;
  }
  void cancel() { cancelled_ = true; }
  const std::atomic<bool>* cancelFlag() const { return &cancelled_; }

 private:
  mutable std::mutex mutex_;
  std::size_t done_ = 0;
  std::size_t total_ = 0;
  std::string text_;
  std::atomic<bool> cancelled_{false};
};

// As runWithProgress, for work that counts its steps and can be abandoned:
// the dialog shows the report's text and how far it is, and its Cancel
// button sets the report's flag, which the work watches to end early.
bool runWithCountedProgress(wxWindow* parent, const std::string& title, const std::string& message,
                            const std::function<void(ProgressReport&)>& work,
                            std::chrono::milliseconds delay = kProgressDelay);

// Work the user may abandon: the work runs on a thread of its own, and
// Cancel (in the dialog, or set on the report by started, which runs on the
// GUI thread as soon as the work began) returns Abandoned at once. The work
// then goes on to its end with the report's flag set, which it watches to
// stop early, and whatever it made is dropped on its thread: it must own
// everything it touches (shared state captured by value), never the loaded
// model. An exception thrown by finished work is rethrown here.
enum class WorkOutcome { Finished, Abandoned };
WorkOutcome runAbandonable(wxWindow* parent, const std::string& title, const std::string& message,
                           std::function<void(ProgressReport&)> work,
                           const std::function<void(ProgressReport&)>& started = {},
                           std::chrono::milliseconds delay = kProgressDelay);

// How many abandoned pieces of work are still running.
std::size_t abandonedWorkRunning();
// Waits for every abandoned piece of work to end (before the program ends,
// while what they use still exists).
void waitForAbandonedWork();

}  // namespace lumetra
