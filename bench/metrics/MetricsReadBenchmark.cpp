// Reads the same metrics of N classes from a CSV table (matched to the model
// by qualified name) and from a .met file (by identifier), in one run, and
// prints the median processor time of each read and their ratio.
//
//   build/bin/bench_metrics_read [--rows N] [--runs K]      (N = 100000, K = 5)
//
// The model has N classes in N / 100 packages below one top package
// ("org.p17.C1742"); each file gives five whole-number metrics and one with
// two decimals. The files are written once into a temporary folder.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "areas/Area.h"
#include "bench/BenchTiming.h"
#include "metrics/ElementMatcher.h"
#include "metrics/MetricSet.h"
#include "metrics/MetricsFile.h"
#include "model/Diagram.h"
#include "model/UmlElements.h"
#include "platform/DebugOutput.h"

namespace {

namespace fs = std::filesystem;

const char* const kNames[] = {"wmc", "cbo", "rfc", "loc", "dit", "tcc"};

int valueOf(int row, int metric) { return (row * 7919 + metric * 104729) % 997; }

std::string decimalText(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", value / 100, value % 100);
  return text;
}

void writeFiles(int rows, const std::string& csv, const std::string& met) {
  std::ofstream table(csv);
  table << "class";
  for (const char* name : kNames) table << ',' << name;
  table << '\n';
  for (int r = 0; r < rows; ++r) {
    table << "org.p" << r / 100 << ".C" << r;
    for (int m = 0; m < 5; ++m) table << ',' << valueOf(r, m);
    table << ',' << decimalText(valueOf(r, 5)) << '\n';
  }
  std::ofstream xml(met);
  xml << "<metrics>\n";
  for (int m = 0; m < 6; ++m) {
    xml << " <metric name=\"" << kNames[m] << "\" type=\"int\">\n";
    for (int r = 0; r < rows; ++r) xml << "  <element id=\"C" << r << "\" value=\"" << valueOf(r, m) << "\"/>\n";
    xml << " </metric>\n";
  }
  xml << "</metrics>\n";
}

double timeRead(const std::string& path, const lumetra::ModelElementsPool& pool, int runs, std::size_t& values) {
  std::vector<double> times;
  for (int k = 0; k < runs; ++k) {
    lumetra::MetricSet metrics;
    lumetra::AreaSet areas;
    const double start = lumetra::bench::cpuMs();
    const lumetra::MetricsRead read = lumetra::readMetricsFile(path, pool, metrics, areas);
    times.push_back(lumetra::bench::cpuMs() - start);
    if (!read.ok) {
      std::fprintf(stderr, "%s\n", read.error.c_str());
      std::exit(1);
    }
    values = metrics.getMetricCount();
  }
  return lumetra::bench::median(times);
}

}  // namespace

int main(int argc, char** argv) {
  int rows = 100000, runs = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--rows") == 0) rows = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
  }
  lumetra::ModelElementsPool pool;
  auto* top = new lumetra::Package("P", "org");
  pool.add(top);
  for (int r = 0; r < rows; ++r) {
    if (r % 100 == 0) {
      auto* package = new lumetra::Package("P" + std::to_string(r / 100), "p" + std::to_string(r / 100));
      package->setOwnerId("P");
      pool.add(package);
    }
    auto* type = new lumetra::Class("C" + std::to_string(r), "C" + std::to_string(r));
    type->setOwnerId("P" + std::to_string(r / 100));
    pool.add(type);
  }
  const fs::path folder = fs::temp_directory_path() / ("lumetra-metrics-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string csv = (folder / "class.csv").string(), met = (folder / "class.met").string();
  writeFiles(rows, csv, met);

  lumetra::setDebugSink([](const std::string&) {});
  std::vector<double> indexTimes;
  for (int k = 0; k < runs; ++k) {
    const double start = lumetra::bench::cpuMs();
    const lumetra::ElementMatcher matcher(pool);
    indexTimes.push_back(lumetra::bench::cpuMs() - start);
  }
  std::size_t fromCsv = 0, fromMet = 0;
  const double csvMs = timeRead(csv, pool, runs, fromCsv);
  const double metMs = timeRead(met, pool, runs, fromMet);
  std::printf("%d rows, %d runs each (median processor time)\n", rows, runs);
  std::printf("  CSV  %8.1f ms  %zu metrics  %ju bytes\n", csvMs, fromCsv, static_cast<std::uintmax_t>(fs::file_size(csv)));
  std::printf("  .met %8.1f ms  %zu metrics  %ju bytes\n", metMs, fromMet, static_cast<std::uintmax_t>(fs::file_size(met)));
  std::printf("  CSV / .met = %.2f\n", csvMs / metMs);
  std::printf("  (of the CSV read, indexing the model's names: %.1f ms)\n", lumetra::bench::median(indexTimes));
  fs::remove_all(folder);
  return 0;
}
