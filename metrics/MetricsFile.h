#pragma once
// Opens a metrics file of any kind the program reads, recognised by its
// content rather than its name:
//
//   XML whose root is "report"   JaCoCo's coverage report (TableMetrics.h)
//   any other XML                the program's own metrics file (MetricParser.h),
//                                which may define areas as well
//   anything else                a CSV table (TableMetrics.h)
//
// Metrics and areas go into the given sets only when the whole file was
// read; the result says why not otherwise, and what was passed over. The
// pool is read (to match rows by qualified name), never changed.

#include <cstddef>
#include <string>

#include "metrics/MetricColumns.h"

namespace lumetra {

class AreaSet;
class MetricSet;
class ModelElementsPool;

MetricsRead readMetricsFile(const std::string& path, const ModelElementsPool& pool, MetricSet& metrics,
                            AreaSet& areas);
// The same for a file's bytes in memory; name stands for the file in messages.
MetricsRead readMetricsBytes(const void* data, std::size_t size, const std::string& name,
                             const ModelElementsPool& pool, MetricSet& metrics, AreaSet& areas);

}  // namespace lumetra
