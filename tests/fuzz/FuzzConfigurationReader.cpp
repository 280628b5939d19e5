// libFuzzer target: arbitrary bytes as a configuration file, read, written
// and read again.
#include <wx/init.h>

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/ReadConfigurationBytes.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static wxInitializer initializer(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumetra::readConfigurationBytes(data, size);
  return 0;
}
