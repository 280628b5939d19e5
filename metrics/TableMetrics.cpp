#include "metrics/TableMetrics.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <pugixml.hpp>

#include "metrics/CsvReader.h"
#include "metrics/ElementMatcher.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"

namespace lumetra {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// Headers that name the element a row is about, in no particular order: the
// first column with one of them wins.
constexpr std::string_view kNameHeaders[] = {"class", "classname", "type", "name", "qualified name", "fqn",
                                             "element"};

// JaCoCo's counters that give a coverage percentage, and the metric's name.
struct CoverageKind {
  std::string_view counter;  // lower case, as the CSV headers are compared
  const char* metric;
};
constexpr CoverageKind kCoverage[] = {
    {"line", "Line coverage %"}, {"branch", "Branch coverage %"}, {"instruction", "Instruction coverage %"}};

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string trimmedText(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// covered / (missed + covered) as a percentage with one decimal; nothing
// when there is nothing to cover (a class without branches).
void addPercent(MetricColumn& column, const std::string* id, double missed, double covered) {
  if (!(missed >= 0.0 && covered >= 0.0) || missed + covered <= 0.0) return;
  const double percent = std::round(covered / (missed + covered) * 1000.0) / 10.0;
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", percent);
  std::string written = text;
  if (written.size() > 2 && written.compare(written.size() - 2, 2, ".0") == 0) written.resize(written.size() - 2);
  column.addNumber(id, percent, std::move(written), 1);
}

// Hands the columns' metrics to the set, or says why there are none.
MetricsRead finish(std::vector<MetricColumn>& columns, std::size_t rows, const UnmatchedRows& unmatched,
                   const std::string& fileName, const ElementMatcher& matcher, MetricSet& metrics,
                   std::vector<std::string> notes) {
  MetricsRead result;
  if (unmatched.count() == rows) {
    result.error = nothingMatched(fileName, unmatched.firstNames(), matcher.sampleNames(3));
    return result;
  }
  MetricSet read;
  int palette = 1;  // entry 0 is a translucent black, hard to tell on a box
  std::string note;
  for (const MetricColumn& column : columns) {
    Metric* metric = column.makeMetric(palette, fileName, note);
    if (!note.empty()) result.notes.push_back(note);
    if (metric != nullptr) {
      read.add(metric);
      ++palette;
    }
  }
  if (read.getMetricCount() == 0) {
    result.notes.clear();
    result.error = fileName + ": no column of numbers or true/false values beside the names";
    return result;
  }
  result.notes.insert(result.notes.end(), notes.begin(), notes.end());
  if (std::string rest = unmatched.note(fileName); !rest.empty()) result.notes.push_back(std::move(rest));
  metrics.takeLoaded(read);
  result.ok = true;
  return result;
}

}  // namespace

MetricsRead readTableMetrics(std::istream& in, const std::string& fileName, const ElementMatcher& matcher,
                             MetricSet& metrics) {
  MetricsRead result;
  CsvReader reader(in);
  std::vector<std::string> header;
  if (!reader.next(header)) {
    result.error = fileName + ": " + (reader.error().empty() ? "the file is empty" : reader.error());
    return result;
  }
  const std::size_t headerLine = reader.line();
  std::vector<std::string> keys;
  for (std::string& name : header) {
    name = trimmedText(name);
    keys.push_back(lowered(name));
  }
  auto columnOf = [&](std::string_view key) -> std::ptrdiff_t {
    for (std::size_t i = 0; i < keys.size(); ++i)
      if (keys[i] == key) return static_cast<std::ptrdiff_t>(i);
    return -1;
  };
  const std::ptrdiff_t group = columnOf("group"), package = columnOf("package"), type = columnOf("class");
  const bool jacoco = group >= 0 && package >= 0 && type >= 0;
  std::ptrdiff_t nameColumn = 0;
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (std::find(std::begin(kNameHeaders), std::end(kNameHeaders), keys[i]) != std::end(kNameHeaders)) {
      nameColumn = static_cast<std::ptrdiff_t>(i);
      break;
    }
  if (jacoco) nameColumn = type;

  // Coverage first, then the file's own columns in its order.
  std::vector<MetricColumn> columns;
  struct Pair {
    std::ptrdiff_t missed, covered;
    std::size_t column;
  };
  std::vector<Pair> pairs;
  if (jacoco) {
    for (const CoverageKind& kind : kCoverage) {
      const std::ptrdiff_t missed = columnOf(std::string(kind.counter) + "_missed");
      const std::ptrdiff_t covered = columnOf(std::string(kind.counter) + "_covered");
      if (missed < 0 || covered < 0) continue;
      pairs.push_back({missed, covered, columns.size()});
      columns.emplace_back(kind.metric);
    }
  }
  std::vector<std::ptrdiff_t> metricColumn(header.size(), -1);
  for (std::size_t i = 0; i < header.size(); ++i) {
    const auto at = static_cast<std::ptrdiff_t>(i);
    if (at == nameColumn || (jacoco && (at == group || at == package))) continue;
    metricColumn[i] = static_cast<std::ptrdiff_t>(columns.size());
    columns.emplace_back(header[i].empty() ? "column " + std::to_string(i + 1) : header[i]);
    if (jacoco) columns.back().setCounts();
  }

  const bool decimalComma = reader.separator() == ';';
  UnmatchedRows unmatched;
  std::size_t rows = 0, longer = 0, longerLine = 0;
  std::vector<std::string> fields;
  std::vector<double> values(header.size(), kNone);
  std::string name;
  while (reader.next(fields)) {
    if (fields.size() > header.size()) {
      if (longer++ == 0) longerLine = reader.line();
      continue;
    }
    ++rows;
    const auto field = [&](std::ptrdiff_t i) -> const std::string& {
      static const std::string none;
      return static_cast<std::size_t>(i) < fields.size() ? fields[static_cast<std::size_t>(i)] : none;
    };
    name = field(nameColumn);
    if (jacoco && !trimmedText(field(package)).empty()) name = trimmedText(field(package)) + "." + name;
    const std::string* id = matcher.match(name);
    if (id == nullptr) unmatched.add(name);
    for (std::size_t i = 0; i < header.size(); ++i) {
      values[i] = kNone;
      if (metricColumn[i] >= 0 && i < fields.size())
        values[i] = columns[static_cast<std::size_t>(metricColumn[i])].addCell(fields[i], reader.line(), id,
                                                                                 decimalComma);
    }
    for (const Pair& pair : pairs)
      addPercent(columns[pair.column], id, values[static_cast<std::size_t>(pair.missed)],
                 values[static_cast<std::size_t>(pair.covered)]);
  }
  if (!reader.error().empty()) {
    result.error = fileName + ": " + reader.error();
    return result;
  }
  if (rows == 0) {
    result.error = fileName + ": line " + std::to_string(headerLine) + ": a header and no rows of values";
    return result;
  }
  std::vector<std::string> notes;
  if (longer > 0)
    notes.push_back(fileName + ": " + std::to_string(longer) + (longer == 1 ? " row has" : " rows have") +
                    " more fields than the header and " + (longer == 1 ? "was" : "were") +
                    " passed over (line " + std::to_string(longerLine) + ")");
  return finish(columns, rows, unmatched, fileName, matcher, metrics, std::move(notes));
}

MetricsRead readCoverageReport(const pugi::xml_document& report, const std::string& fileName,
                               const ElementMatcher& matcher, MetricSet& metrics) {
  std::vector<MetricColumn> columns;
  for (const CoverageKind& kind : kCoverage) columns.emplace_back(kind.metric);
  const std::size_t complexity = columns.size();
  columns.emplace_back("Complexity");
  columns.emplace_back("Methods");

  auto count = [](const pugi::xml_node& counter, const char* name) {
    const pugi::char_t* text = counter.attribute(name).value();
    const std::string_view view(text);
    unsigned long long value = 0;
    const auto [end, status] = std::from_chars(view.data(), view.data() + view.size(), value);
    return status == std::errc() && end == view.data() + view.size() ? static_cast<double>(value) : kNone;
  };

  UnmatchedRows unmatched;
  std::size_t rows = 0;
  // Groups nest; walked without recursion, so that no depth of nesting can
  // exhaust the stack.
  std::vector<pugi::xml_node> pending{report.child("report")};
  while (!pending.empty()) {
    const pugi::xml_node node = pending.back();
    pending.pop_back();
    for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
      if (std::string_view(child.name()) == "group" || std::string_view(child.name()) == "package")
        pending.push_back(child);
    }
    if (std::string_view(node.name()) != "package") continue;
    for (pugi::xml_node type = node.child("class"); type; type = type.next_sibling("class")) {
      ++rows;
      const std::string name = type.attribute("name").value();
      const std::string* id = matcher.match(name);
      if (id == nullptr) unmatched.add(name);
      for (pugi::xml_node counter = type.child("counter"); counter; counter = counter.next_sibling("counter")) {
        const std::string kind = lowered(counter.attribute("type").value());
        const double missed = count(counter, "missed"), covered = count(counter, "covered");
        for (std::size_t k = 0; k < std::size(kCoverage); ++k)
          if (kind == kCoverage[k].counter) addPercent(columns[k], id, missed, covered);
        if ((kind == "complexity" || kind == "method") && missed >= 0.0 && covered >= 0.0) {
          char text[32];
          std::snprintf(text, sizeof text, "%.0f", missed + covered);
          columns[complexity + (kind == "method" ? 1 : 0)].addNumber(id, missed + covered, text, 0);
        }
      }
    }
  }
  if (rows == 0) {
    MetricsRead result;
    result.error = fileName + ": the coverage report lists no class";
    return result;
  }
  return finish(columns, rows, unmatched, fileName, matcher, metrics, {});
}

}  // namespace lumetra
