// The batch save of synthetic models (read, passes, write) against pugixml
// parsing the same file alone. Models are generated once into a temporary
// folder; benchmarks are built but never run by CTest.
//
//   build/bin/bench_load --benchmark_min_time=1
//
// BM_SaveDiagram measures what `lumetra --save-diagram` does: read, passes
// and write in a fresh process, the model left to the end of the process.
// BM_PugixmlParseProcess parses the file alone in a fresh process. Both
// report the CPU time of the work as their time. BM_PugixmlParse parses in
// this process, where the allocator hands each iteration the memory the
// previous one freed; BM_SaveDiagramFreed likewise runs in this process and
// deletes the model afterwards, as the viewer does before it opens the next
// file.

#include <algorithm>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <pugixml.hpp>

#include "app/commands/SaveDiagramCommand.h"
#include "modelfiles/DiagramParserController.h"
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

// ---- fresh processes ----
//
// The command's work runs in a new process: its memory is all new to it. A
// forked child of this process would instead inherit the memory the
// allocator kept from earlier benchmarks and pay for copying it on write, so
// each iteration starts this executable afresh ("--child parse FILE" or
// "--child save FILE OUT"). The child measures the CPU time of the work
// alone (process start and end excluded, as for the parse in-process) and
// prints it in seconds.

double seconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}
double processCpuSeconds() { return seconds(CLOCK_PROCESS_CPUTIME_ID); }
double wallSeconds() { return seconds(CLOCK_MONOTONIC); }

// The child side; returns its exit code.
int runChild(int argc, char** argv) {
  const std::string what = argv[2];
  const std::string file = argv[3];
  const double start = processCpuSeconds();
  const double wallStart = wallSeconds();
  int code = 1;
  if (what == "parse" && argc == 4) {
    pugi::xml_document document;
    code = document.load_file(file.c_str()) ? 0 : 1;
  } else if (what == "save" && argc == 5) {
    code = lumetra::runSaveDiagram(argv[4], file, lumetra::ModelRelease::KeepUntilExit);
  }
  const double cpu = processCpuSeconds() - start;
  std::printf("%.9f %.9f\n", cpu, wallSeconds() - wallStart);
  std::fflush(stdout);
  ::_exit(code);  // the model is left to the end of the process, as the command leaves it
}

// Runs this executable with those child arguments once per iteration; the
// iteration time is the child's CPU time for the work.
void inFreshProcesses(benchmark::State& state, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"/proc/self/exe", "--child"});
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<double> walls;
  for (auto _ : state) {
    int out[2];
    if (::pipe(out) != 0) {
      state.SkipWithError("pipe failed");
      break;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
      ::dup2(out[1], 1);
      ::close(out[0]);
      ::close(out[1]);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        text.empty()) {
      state.SkipWithError("the child process failed");
      break;
    }
    char* rest = nullptr;
    state.SetIterationTime(std::strtod(text.c_str(), &rest));
    walls.push_back(std::strtod(rest, nullptr) * 1e3);
  }
  // The elapsed time beside it: the save uses a second core on large models.
  if (!walls.empty()) {
    std::sort(walls.begin(), walls.end());
    state.counters["wall_median_ms"] = walls[walls.size() / 2];
  }
}

// The parse alone in a fresh process, as the command starts.
void BM_PugixmlParseProcess(benchmark::State& state) {
  const std::string file = modelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  inFreshProcesses(state, {"parse", file});
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(file)));
}

void BM_SaveDiagram(benchmark::State& state) {
  const std::string file = modelFile(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  inFreshProcesses(state, {"save", file, (folder() / "out.dia").string()});
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

// ---- UML2 ----
//
// The UML2 reader (the controller's open: parse and read, model then freed)
// against pugixml parsing the same file alone, side by side in one run.

std::string uml2File(int n) {
  static std::map<int, std::string> files;
  auto& name = files[n];
  if (name.empty()) {
    name = (folder() / ("synthetic-" + std::to_string(n) + ".uml")).string();
    lumetra::bench::SyntheticModel model;
    model.classes = n;
    if (!lumetra::bench::writeSyntheticUml2(name, model)) std::abort();
  }
  return name;
}

void BM_Uml2PugixmlParse(benchmark::State& state) {
  const std::string file = uml2File(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document document;
    benchmark::DoNotOptimize(document.load_file(file.c_str()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(file)));
}

void BM_Uml2Read(benchmark::State& state) {
  const std::string file = uml2File(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::vector<lumetra::Diagram*> diagrams;
    lumetra::ModelElementsPool pool;
    lumetra::DiagramParserController controller(diagrams, pool);
    controller.open(file);
    if (!controller.status().ok() || diagrams.size() != 1) state.SkipWithError("the UML2 file was not read");
    state.PauseTiming();  // freeing the model is not reading it
    for (lumetra::Diagram* d : diagrams) delete d;
    pool.clear();
    state.ResumeTiming();
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
BENCHMARK(BM_Uml2PugixmlParse)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Uml2Read)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--child") return runChild(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(folder());
  return 0;
}
