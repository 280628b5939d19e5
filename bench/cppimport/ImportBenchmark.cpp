// Times importing a C++ project (every unit parsed, then again from the
// cache) and, side by side with the same number of jobs, `clang++
// -fsyntax-only` over the same compile commands.
//
//   import_benchmark DB [--jobs N] [--compiler clang++] [--skip-compiler]
//
// DB is a compile_commands.json or a folder holding one. The import's cache
// file beside the database is replaced.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "sources/ClangParser.h"
#include "sources/CppImport.h"
#include "sources/ImportCache.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// The process's peak resident size so far, in MiB (children not counted).
double peakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Runs the compiler's syntax check over every command, `jobs` at a time.
double syntaxOnly(const std::vector<lumetra::CompileCommand>& commands, unsigned jobs, const std::string& compiler,
                  int& failed) {
  const Clock::time_point start = Clock::now();
  std::size_t next = 0, running = 0;
  failed = 0;
  while (next < commands.size() || running > 0) {
    while (running < jobs && next < commands.size()) {
      const lumetra::CompileCommand& c = commands[next++];
      std::vector<std::string> args{compiler, "-fsyntax-only", "-working-directory", c.directory};
      for (std::size_t i = 1; i < c.arguments.size(); ++i) {
        if (c.arguments[i] == "-o") {
          ++i;
          continue;
        }
        if (c.arguments[i] == "-c") continue;
        args.push_back(c.arguments[i]);
      }
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      pid_t pid = 0;
      if (posix_spawnp(&pid, compiler.c_str(), nullptr, nullptr, argv.data(), environ) == 0)
        ++running;
      else
        ++failed;
    }
    int status = 0;
    if (running > 0 && wait(&status) > 0) {
      --running;
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
    }
  }
  return seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: import_benchmark DB [--jobs N] [--compiler clang++] [--skip-compiler]\n");
    return 2;
  }
  const std::string path = argv[1];
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
  std::string compiler = "clang++";
  bool runCompiler = true;
  for (int i = 2; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--jobs") && i + 1 < argc) jobs = static_cast<unsigned>(std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--compiler") && i + 1 < argc) compiler = argv[++i];
    else if (!std::strcmp(argv[i], "--skip-compiler")) runCompiler = false;
  }
  const std::string database = lumetra::findCompilationDatabase(path);
  if (database.empty()) {
    std::fprintf(stderr, "%s: no compile_commands.json\n", path.c_str());
    return 1;
  }
  const std::string folder = std::filesystem::path(database).parent_path().string();
  std::error_code ec;
  std::filesystem::remove(std::filesystem::path(folder) / lumetra::kImportCacheName, ec);

  lumetra::CppImportOptions options;
  options.jobs = jobs;
  auto importOnce = [&](const char* what) {
    std::vector<lumetra::Diagram*> diagrams;
    lumetra::ModelElementsPool pool;
    const Clock::time_point start = Clock::now();
    lumetra::CppImportResult result = lumetra::importCppProject(database, diagrams, pool, options);
    const double wall = seconds(start);
    std::size_t classes = 0;
    for (std::size_t i = 0; i < pool.size(); ++i) {
      const std::string kind = pool.get(i)->getTypeName();
      classes += kind == "Class" || kind == "Interface";
    }
    std::printf("import (%s): %.2f s wall, %zu units, %zu parsed, %zu failed, %zu classes, %zu diagrams, "
                "peak resident %.0f MiB%s%s\n",
                what, wall, result.units, result.parsed, result.failures.size(), classes, diagrams.size(),
                peakResidentMiB(), result.ok ? "" : ", error: ", result.error.c_str());
    if (!result.failures.empty()) std::printf("  %s\n", result.failureSummary().c_str());
    for (lumetra::Diagram* d : diagrams) delete d;
    return wall;
  };
  const double fresh = importOnce("every unit parsed");
  importOnce("from the cache");
  if (!runCompiler) return 0;

  std::vector<lumetra::CompileCommand> commands;
  std::string error;
  if (!lumetra::readCompilationDatabase(folder, commands, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  int failed = 0;
  const double compilerWall = syntaxOnly(commands, jobs, compiler, failed);
  std::printf("%s -fsyntax-only: %.2f s wall, %zu units, %d failed\n", compiler.c_str(), compilerWall, commands.size(),
              failed);
  std::printf("jobs %u, ratio import / syntax check: %.2f\n", jobs, fresh / compilerWall);
  return 0;
}
