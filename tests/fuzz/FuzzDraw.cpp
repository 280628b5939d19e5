// libFuzzer target: arbitrary bytes as a model file, optionally followed by
// a metrics file after a "%%metrics" line, read and drawn as the viewer
// draws them. Needs an X display (run it under xvfb-run); the renderer's own
// allocations are not the program's, so run it with ASAN_OPTIONS=detect_leaks=0.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/DebugOutput.h"
#include "render/Canvas.h"
#include "render/DefaultFont.h"
#include "render/OffscreenGL.h"
#include "tests/fuzz/DrawModelBytes.h"

namespace {
std::unique_ptr<lumetra::OffscreenGL> gContext;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  lumetra::setDebugSink([](const std::string&) {});
  try {
    gContext = std::make_unique<lumetra::OffscreenGL>(lumetra::kDrawViewWidth, lumetra::kDrawViewHeight);
    lumetra::loadDefaultFont();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz_draw: %s\n", e.what());
    std::exit(1);
  }
  lumetra::applyFixedGLState();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumetra::drawModelBytes(data, size);
  return 0;
}
