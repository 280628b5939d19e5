#pragma once
// Metrics from the files other tools write, matched to the model by name:
//
//   readTableMetrics    a CSV table, one row per class and one column per
//                       measure (CK, SourceMonitor, Understand, a
//                       spreadsheet), or JaCoCo's CSV report.
//   readCoverageReport  JaCoCo's XML report.
//
// Table: the header names the columns. The name column is the first headed
// "class", "classname", "type", "name", "qualified name", "fqn" or "element"
// (any case), else the first column; a JaCoCo table (GROUP, PACKAGE, CLASS)
// joins PACKAGE and CLASS. Every other column of numbers becomes a metric
// named by its header, a boolean one when its values are 0/1 or true/false;
// a column holding text is passed over. Coverage reports also give "Line
// coverage %", "Branch coverage %" and "Instruction coverage %" (covered /
// (missed + covered)); the XML report "Complexity" and "Methods" besides.
//
// Rows are matched through an ElementMatcher. Nothing is added to the set
// unless the read succeeds; a file none of whose rows names an element is an
// error.

#include <istream>
#include <string>

#include "metrics/MetricColumns.h"

namespace pugi {
class xml_document;
}

namespace lumetra {

class ElementMatcher;
class MetricSet;

MetricsRead readTableMetrics(std::istream& in, const std::string& fileName, const ElementMatcher& matcher,
                             MetricSet& metrics);

// The document must hold a parsed report (root "report").
MetricsRead readCoverageReport(const pugi::xml_document& report, const std::string& fileName,
                               const ElementMatcher& matcher, MetricSet& metrics);

}  // namespace lumetra
