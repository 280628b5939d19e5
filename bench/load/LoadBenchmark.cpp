// The batch save of synthetic models (read, passes, write) against pugixml
// parsing the same file alone. Models are generated once into a temporary
// folder; benchmarks are built but never run by CTest.
//
//   build/bin/bench_load --benchmark_min_time=1
//
// BM_SaveDiagram measures what `lumetra --save-diagram` costs: each run is a
// child process that saves and ends, leaving the model to the end of the
// process as the command does. Its time is the wall time from fork to exit;
// the counter cpu_ms is the child's user and system time. BM_PugixmlParseProcess
// parses the file alone in the same way. BM_PugixmlParse parses in this
// process, where the allocator hands each iteration the memory the previous
// one freed; BM_SaveDiagramFreed likewise runs in this process and deletes
// the model afterwards, as the viewer does before it opens the next file.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pugixml.hpp>

#include "app/SaveDiagramCommand.h"
#include "bench/load/SyntheticXmi.h"

namespace {

namespace fs = std::filesystem;

fs::path folder() {
  static const fs::path path = [] {
    fs::path p = fs::temp_directory_path() / ("lumetra-bench-" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
  }();
  return path;
}

// The model file for n classes on that many diagrams, made on first use.
std::string modelFile(int n, int diagrams) {
  static std::map<std::pair<int, int>, std::string> files;
  auto& name = files[{n, diagrams}];
  if (name.empty()) {
    name = (folder() / ("synthetic-" + std::to_string(n) + "-" + std::to_string(diagrams) + ".xmi")).string();
    lumetra::bench::SyntheticModel model;
    model.classes = n;
    model.diagrams = diagrams;
    if (!lumetra::bench::writeSyntheticXmi(name, model)) std::abort();
  }
  return name;
}

void BM_PugixmlParse(benchmark::State& state) {
  const std::string file = modelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    pugi::xml_document document;
    benchmark::DoNotOptimize(document.load_file(file.c_str()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(file)));
}

double childCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs body() in a child process per iteration; the iteration time is the
// wall time from fork to exit, the counter cpu_ms the child's CPU time.
template <typename Body>
void inChildProcesses(benchmark::State& state, Body&& body) {
  double cpu = 0.0;
  for (auto _ : state) {
    std::fflush(nullptr);
    const double cpuBefore = childCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the child process failed");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    cpu += childCpuSeconds() - cpuBefore;
  }
  state.counters["cpu_ms"] = benchmark::Counter(cpu * 1000.0, benchmark::Counter::kAvgIterations);
}

// The parse alone in a fresh process, as the command starts: its memory is
// new to the process, not recycled from the previous iteration.
void BM_PugixmlParseProcess(benchmark::State& state) {
  const std::string file = modelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  inChildProcesses(state, [&file] {
    pugi::xml_document document;
    return document.load_file(file.c_str()) ? 0 : 1;
  });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(file)));
}

void BM_SaveDiagram(benchmark::State& state) {
  const std::string file = modelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const std::string out = (folder() / "out.dia").string();
  inChildProcesses(state, [&] { return lumetra::runSaveDiagram(out, file, lumetra::ModelRelease::KeepUntilExit); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(file)));
}

void BM_SaveDiagramFreed(benchmark::State& state) {
  const std::string file = modelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const std::string out = (folder() / "out.dia").string();
  for (auto _ : state) {
    if (lumetra::runSaveDiagram(out, file, lumetra::ModelRelease::Free) != 0) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(file)));
}

void sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1000, 10000, 50000}) b->Args({n, 1});
  b->Args({50000, 20});  // the same model over several diagrams
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_PugixmlParse)->Apply(sizes);
BENCHMARK(BM_PugixmlParseProcess)->Apply(sizes)->UseManualTime();
BENCHMARK(BM_SaveDiagram)->Apply(sizes)->UseManualTime();
BENCHMARK(BM_SaveDiagramFreed)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(folder());
  return 0;
}
