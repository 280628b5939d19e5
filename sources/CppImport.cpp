#include "sources/CppImport.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include <unistd.h>
#include <unordered_map>

#include "sources/ClangParser.h"
#include "sources/ImportCache.h"

namespace lumetra {

namespace fs = std::filesystem;

namespace {

bool below(const std::string& file, const std::string& folder) {
  return file.size() > folder.size() && file.compare(0, folder.size(), folder) == 0 &&
         (folder.back() == '/' || file[folder.size()] == '/');
}

// The deepest folder that holds every path (files, or folders with within).
std::string commonFolder(const std::vector<std::string>& paths, bool within) {
  std::string root = within ? paths.front() : fs::path(paths.front()).parent_path().string();
  for (const std::string& p : paths)
    while (!(below(p, root) || (within && p == root)) && root.size() > 1) root = fs::path(root).parent_path().string();
  return root;
}

std::string withoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The project's files: below the kept folders, or below the units' common
// folder but outside the build tree.
ProjectFiles projectFiles(const std::vector<CompileCommand>& commands, const std::vector<std::string>& roots,
                          const std::string& databaseFolder) {
  std::vector<std::string> files;
  for (const CompileCommand& c : commands) files.push_back(c.file);
  const std::string units = withoutTrailingSlash(commonFolder(files, false));
  ProjectFiles project;
  for (const std::string& r : roots) {
    if (r.empty()) continue;
    const fs::path p = fs::path(r).is_relative() ? fs::path(units) / r : fs::path(r);
    project.kept.push_back(withoutTrailingSlash(p.lexically_normal().string()));
  }
  if (project.kept.empty()) {
    project.root = units;
    const std::string build = withoutTrailingSlash(fs::path(databaseFolder).lexically_normal().string());
    if (below(build, project.root)) project.excluded = build;
  } else {
    project.root = withoutTrailingSlash(commonFolder(project.kept, true));
    // Where one folder is kept, its files are named below it.
    if (project.kept.size() == 1) project.kept.clear();
  }
  return project;
}

// What the cache must have been made with to answer for these files.
std::string cacheScope(const ProjectFiles& project) {
  std::string scope = project.root;
  for (const std::string& k : project.kept) scope += "\n+" + k;
  if (!project.excluded.empty()) scope += "\n-" + project.excluded;
  return scope;
}

// File hashes, computed once per import and shared by the workers.
class HashMemo {
 public:
  std::optional<std::uint64_t> get(const std::string& path) {
    {
      std::lock_guard lock(mutex_);
      auto found = hashes_.find(path);
      if (found != hashes_.end()) return found->second;
    }
    std::optional<std::uint64_t> hash = fileHash(path);
    std::lock_guard lock(mutex_);
    hashes_.emplace(path, hash);
    return hash;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<std::string, std::optional<std::uint64_t>> hashes_;
};

bool unchanged(const CachedUnit& unit, HashMemo& hashes) {
  for (const auto& [file, hash] : unit.dependencies) {
    std::optional<std::uint64_t> now = hashes.get(file);
    if (!now || *now != hash) return false;
  }
  return true;
}

// What every unit contributed, merged: a class or member met in several
// units is kept once, from the first unit in database order, so the result
// does not depend on which worker finished first.
struct Merged {
  std::map<std::string, std::pair<ClassFacts, std::size_t>> classes;
  std::map<std::string, std::pair<OutOfLineFacts, std::size_t>> definitions;
  std::vector<CachedUnit> units;

  void add(std::size_t unit, UnitFacts& facts) {
    CachedUnit& entry = units[unit];
    for (ClassFacts& c : facts.classes) {
      entry.classUsrs.push_back(c.usr);
      auto [at, added] = classes.try_emplace(c.usr, ClassFacts{}, unit);
      if (added || unit < at->second.second) at->second = {std::move(c), unit};
    }
    for (OutOfLineFacts& d : facts.definitions) {
      entry.definitionUsrs.push_back(d.body.methodUsr);
      auto [at, added] = definitions.try_emplace(d.body.methodUsr, OutOfLineFacts{}, unit);
      if (added || unit < at->second.second) at->second = {std::move(d), unit};
    }
  }
};

}  // namespace

std::string CppImportResult::failureSummary(std::size_t shown) const {
  if (failures.empty()) return {};
  std::string text = std::to_string(failures.size()) + " of " + std::to_string(units) + " units had errors: ";
  for (std::size_t i = 0; i < failures.size() && i < shown; ++i)
    text += (i ? "; " : "") + failures[i].reason;
  if (failures.size() > shown) text += "; ...";
  return text;
}

ImportProgress progressOnStream(std::FILE* stream) {
  const bool terminal = isatty(fileno(stream));
  return [stream, terminal](std::size_t done, std::size_t total, const std::string& file) {
    if (file.empty() && done == 0) return;
    std::fprintf(stream, "importing %zu/%zu: %s%s", done, total, file.empty() ? "(unchanged units)" : file.c_str(),
                 terminal ? (done == total ? "\x1b[K\n" : "\x1b[K\r") : "\n");
    std::fflush(stream);
  };
}

std::string findCompilationDatabase(const std::string& path) {
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return fs::absolute(path, ec).lexically_normal().string();
  for (const char* candidate : {"compile_commands.json", "build/compile_commands.json"}) {
    const fs::path file = fs::path(path) / candidate;
    if (fs::is_regular_file(file, ec)) return fs::absolute(file, ec).lexically_normal().string();
  }
  return {};
}

CppImportResult importCppProject(const std::string& path, std::vector<Diagram*>& diagrams, ModelElementsPool& pool,
                                 const CppImportOptions& options, const ImportProgress& progress,
                                 const std::atomic<bool>* cancel) {
  CppImportResult result;
  result.database = findCompilationDatabase(path);
  if (result.database.empty()) {
    result.error = path + ": no compile_commands.json there (nor in its build folder)";
    return result;
  }
  if (fs::path(result.database).filename() != "compile_commands.json") {
    result.error = result.database + ": a compilation database must be named compile_commands.json";
    return result;
  }
  const std::string folder = fs::path(result.database).parent_path().string();
  std::vector<CompileCommand> commands;
  if (!readCompilationDatabase(folder, commands, result.error)) return result;
  result.units = commands.size();
  const ProjectFiles project = projectFiles(commands, options.roots, folder);
  result.sourceRoot = project.root;

  // Units the cache still answers for.
  const std::string cachePath = (fs::path(folder) / kImportCacheName).string();
  ImportCacheData cache;
  if (options.useCache && !(readImportCache(cachePath, cache) && cache.root == cacheScope(project))) cache = {};
  std::multimap<std::string, const CachedUnit*> cachedByFile;
  for (const CachedUnit& unit : cache.units) cachedByFile.emplace(unit.file, &unit);
  HashMemo hashes;
  std::vector<const CachedUnit*> reuse(commands.size(), nullptr);
  std::vector<std::size_t> toParse;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const std::uint64_t key = commandKey(commands[i]);
    auto [from, to] = cachedByFile.equal_range(commands[i].file);
    for (auto it = from; it != to && !reuse[i]; ++it)
      if (it->second->commandKey == key && unchanged(*it->second, hashes)) reuse[i] = it->second;
    if (!reuse[i]) toParse.push_back(i);
  }

  // Parse the rest on all cores.
  Merged merged;
  merged.units.resize(commands.size());
  std::mutex mutex;
  std::atomic<std::size_t> next{0};
  std::size_t done = commands.size() - toParse.size();
  if (progress) progress(done, commands.size(), {});
  unsigned jobs = options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, toParse.size()));
  auto work = [&] {
    UnitParser parser(project);
    for (std::size_t n; (n = next++) < toParse.size();) {
      if (cancel && cancel->load()) return;
      const std::size_t unit = toParse[n];
      UnitFacts facts = parser.parse(commands[unit]);
      CachedUnit entry{commands[unit].file, commandKey(commands[unit]), facts.error, {}, {}, {}};
      if (std::find(facts.dependencies.begin(), facts.dependencies.end(), commands[unit].file) ==
          facts.dependencies.end())
        facts.dependencies.insert(facts.dependencies.begin(), commands[unit].file);
      for (const std::string& file : facts.dependencies)
        entry.dependencies.emplace_back(file, hashes.get(file).value_or(0));
      std::lock_guard lock(mutex);
      merged.units[unit] = std::move(entry);
      merged.add(unit, facts);
      if (progress) progress(++done, commands.size(), commands[unit].file);
    }
  };
  std::vector<std::thread> workers;
  for (unsigned j = 1; j < jobs; ++j) workers.emplace_back(work);
  if (jobs > 0) work();
  for (std::thread& w : workers) w.join();
  if (cancel && cancel->load()) {
    result.cancelled = true;
    result.error = result.database + ": the import was cancelled";
    return result;
  }
  result.parsed = toParse.size();

  // Fill in what the cache gave.
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (!reuse[i]) continue;
    merged.units[i] = *reuse[i];
    for (const std::string& usr : reuse[i]->classUsrs) {
      auto cached = cache.classes.find(usr);
      if (cached != cache.classes.end() && !merged.classes.count(usr)) merged.classes.emplace(usr, std::pair{cached->second, i});
    }
    for (const std::string& usr : reuse[i]->definitionUsrs) {
      auto cached = cache.definitions.find(usr);
      if (cached != cache.definitions.end() && !merged.definitions.count(usr))
        merged.definitions.emplace(usr, std::pair{cached->second, i});
    }
  }
  for (const CachedUnit& unit : merged.units)
    if (!unit.error.empty()) result.failures.push_back({unit.file, unit.error});

  ImportCacheData fresh;
  fresh.root = cacheScope(project);
  fresh.units = std::move(merged.units);
  for (auto& [usr, entry] : merged.classes) fresh.classes.emplace(usr, std::move(entry.first));
  for (auto& [usr, entry] : merged.definitions) fresh.definitions.emplace(usr, std::move(entry.first));
  if (options.useCache) result.cacheProblem = writeImportCache(cachePath, fresh);

  ProjectFacts facts{result.sourceRoot, std::move(fresh.classes), std::move(fresh.definitions)};
  result.measures = buildProjectModel(facts, diagrams, pool);
  result.ok = true;
  return result;
}

}  // namespace lumetra
