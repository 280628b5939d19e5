#include "platform/DebugOutput.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace lumetra {
namespace {
DebugSink& currentSink() {
  static DebugSink sink;
  return sink;
}

// Lines may come from more than one thread (a reader builds large models
// on two); each line reaches the sink or stderr whole.
std::recursive_mutex& outputMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}
}  // namespace

void debugOutput(const std::string& text) {
  const std::lock_guard<std::recursive_mutex> lock(outputMutex());
  if (const DebugSink& sink = currentSink()) {
    sink(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

DebugSink setDebugSink(DebugSink sink) {
  const std::lock_guard<std::recursive_mutex> lock(outputMutex());
  return std::exchange(currentSink(), std::move(sink));
}

}  // namespace lumetra
