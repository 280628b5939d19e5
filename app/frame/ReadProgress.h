#pragma once
// Reading a file without freezing the window: the work runs on a worker
// thread while the GUI thread shows a busy cursor; when it takes longer than
// a second, a progress dialog (application-modal, so no command can start
// meanwhile) pulses until it ends. Repaints still happen while the dialog
// is up, so the work must not touch anything the window draws: readers fill
// a model or metric set of their own that the caller adopts afterwards.

#include <chrono>
#include <functional>
#include <string>

class wxWindow;

namespace lumetra {

inline constexpr std::chrono::milliseconds kProgressDelay{1000};

// Runs work to its end and returns; an exception thrown by work is rethrown
// here. Whether the progress dialog was shown is returned (tests ask).
bool runWithProgress(wxWindow* parent, const std::string& title, const std::string& message,
                     const std::function<void()>& work, std::chrono::milliseconds delay = kProgressDelay);

}  // namespace lumetra
