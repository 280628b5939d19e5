// libFuzzer target: arbitrary bytes as a UML2 model file (the reader is
// chosen by content, so XMI 1.x and other XML reach their readers too).
#include <cstddef>
#include <cstdint>

#include "platform/DebugOutput.h"
#include "tests/fuzz/ReadModelBytes.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  lumetra::setDebugSink([](const std::string&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumetra::readModelBytes(data, size, "input.uml");
  return 0;
}
