#pragma once
// The debug-output channel: trace and diagnostic lines that nothing depends on.
// Lines go to stderr; tests may install a sink to capture them instead.

#include <functional>
#include <string>
#include <utility>

namespace lumetra {

// Writes the text as it stands (callers frame their lines with "\n").
void debugOutput(const std::string& text);

// Replaces where debug text goes; an empty function restores stderr.
// Returns the previous sink.
using DebugSink = std::function<void(const std::string&)>;
DebugSink setDebugSink(DebugSink sink);

// Collects the debug text written while it is alive, then restores the sink
// that was there before (for tests, and for commands that keep it quiet).
class DebugCapture {
 public:
  DebugCapture() : previous_(setDebugSink([this](const std::string& text) { text_ += text; })) {}
  ~DebugCapture() { setDebugSink(std::move(previous_)); }
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  const std::string& text() const { return text_; }
  bool contains(const std::string& line) const { return text_.find(line) != std::string::npos; }

 private:
  std::string text_;
  DebugSink previous_;
};

}  // namespace lumetra
