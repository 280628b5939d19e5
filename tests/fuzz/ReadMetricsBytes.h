#pragma once
// Reading a metrics file from bytes in memory over a small fixed model, with
// the readers' contract checked: a read either succeeds with no error, or
// fails with an error naming the input and adds nothing; every value names
// an element of the model; every note names the input. A broken contract
// aborts, so that the fuzzers report it. Shared by the fuzz targets and the
// test that replays their kept inputs.

#include <cstddef>
#include <cstdint>

namespace lumetra {

class ModelElementsPool;

// The model the inputs are read over (and the metrics tests use):
// org { Util, shop { Cart, Order { Line }, Payable } }, identifiers P_org,
// P_shop, C_cart, C_order, C_line, I_pay, C_util.
const ModelElementsPool& shopModel();

enum class MetricsInput {
  AnyFile,         // recognised by content, as the viewer opens a file
  Table,           // always as a CSV table
  CoverageReport,  // as JaCoCo XML (inputs with another root are passed over)
};

// The number of metrics read; 0 when the read failed.
std::size_t readMetricsInput(const std::uint8_t* data, std::size_t size, MetricsInput kind);

}  // namespace lumetra
