#include "platform/DebugOutput.h"

#include <cstdio>
#include <utility>

namespace lumetra {
namespace {
DebugSink& currentSink() {
  static DebugSink sink;
  return sink;
}
}  // namespace

void debugOutput(const std::string& text) {
  if (const DebugSink& sink = currentSink()) {
    sink(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

DebugSink setDebugSink(DebugSink sink) {
  return std::exchange(currentSink(), std::move(sink));
}

}  // namespace lumetra
