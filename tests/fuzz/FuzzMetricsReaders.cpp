// libFuzzer target: arbitrary bytes as a metrics table or a coverage report
// (LUMETRA_METRICS_INPUT picks which), over a small model.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/ReadMetricsBytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumetra::readMetricsInput(data, size, lumetra::MetricsInput::LUMETRA_METRICS_INPUT);
  return 0;
}
