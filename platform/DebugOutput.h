#pragma once
// The debug-output channel: trace and diagnostic lines that nothing depends on.
// Lines go to stderr; tests may install a sink to capture them instead.

#include <functional>
#include <string>

namespace lumetra {

// Writes the text as it stands (callers frame their lines with "\n").
void debugOutput(const std::string& text);

// Replaces where debug text goes; an empty function restores stderr.
// Returns the previous sink.
using DebugSink = std::function<void(const std::string&)>;
DebugSink setDebugSink(DebugSink sink);

}  // namespace lumetra
