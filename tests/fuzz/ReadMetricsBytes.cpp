#include "tests/fuzz/ReadMetricsBytes.h"

#include <cstdio>
#include <cstdlib>
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "areas/Area.h"
#include "metrics/ElementMatcher.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "metrics/MetricsFile.h"
#include "metrics/TableMetrics.h"
#include "model/Diagram.h"
#include "model/UmlElements.h"

namespace lumetra {

namespace {

const char* const kName = "input";

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "metrics reader contract broken: %s\n", what);
  std::abort();
}

bool startsWithName(const std::string& text) { return text.rfind(std::string(kName) + ":", 0) == 0; }

}  // namespace

const ModelElementsPool& shopModel() {
  static ModelElementsPool* pool = [] {
    auto* made = new ModelElementsPool;
    auto add = [&](ModelElement* element, const char* owner) {
      element->setOwnerId(owner);
      made->add(element);
    };
    add(new Package("P_org", "org"), "");
    add(new Package("P_shop", "shop"), "P_org");
    add(new Class("C_cart", "Cart"), "P_shop");
    add(new Class("C_order", "Order"), "P_shop");
    add(new Class("C_line", "Line"), "C_order");
    add(new Interface("I_pay", "Payable"), "P_shop");
    add(new Class("C_util", "Util"), "P_org");
    made->find("P_org");  // index now: the pool is only read from here on
    return made;
  }();
  return *pool;
}

std::size_t readMetricsInput(const std::uint8_t* data, std::size_t size, MetricsInput kind) {
  const ModelElementsPool& pool = shopModel();
  MetricSet metrics;
  AreaSet areas;
  MetricsRead read;
  if (kind == MetricsInput::AnyFile) {
    read = readMetricsBytes(data, size, kName, pool, metrics, areas);
  } else if (kind == MetricsInput::Table) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    read = readTableMetrics(in, kName, ElementMatcher(pool), metrics);
  } else {
    pugi::xml_document report;
    if (!report.load_buffer(data, size) || !report.child("report")) return 0;
    read = readCoverageReport(report, kName, ElementMatcher(pool), metrics);
  }
  check(read.ok == read.error.empty(), "ok exactly when there is no error");
  check(read.ok || startsWithName(read.error), "the error names the input");
  check(read.ok || (metrics.getMetricCount() == 0 && areas.getLoadedCount() == 0), "a failed read adds nothing");
  for (const std::string& note : read.notes) check(startsWithName(note), "a note names the input");
  // The program's own files name elements by identifier; tables and reports
  // only ever give values to elements of the model.
  const bool matched = kind != MetricsInput::AnyFile;
  for (std::size_t m = 0; m < metrics.getMetricCount(); ++m) {
    if (const auto* values = dynamic_cast<const IntegerMetric*>(metrics.getMetric(m))) {
      for (std::size_t i = 0; i < values->getValueCount(); ++i)
        check(!matched || pool.find(values->getPair(i).elementId) != nullptr, "values name model elements");
      check(values->getMinimum() <= values->getMaximum(), "minimum at most maximum");
      check(!values->getMinimumText().empty() && !values->getMaximumText().empty(), "range shown as text");
    }
  }
  return read.ok ? metrics.getMetricCount() : 0;
}

}  // namespace lumetra
