#pragma once
// Importing a C++ project as a model: the units of its compilation database
// (compile_commands.json, as CMake writes it) are parsed in parallel, the
// project's classes, their features and relations become model elements with
// one diagram per namespace (or per source folder where the project uses one
// namespace) and an "Overview", and the classes' metrics and the namespaces'
// and folders' areas are computed on the way, so that no metrics file is
// needed.
//
// Only declarations in the project's own files become classes: by default
// those below the source root, the deepest folder that holds every unit's
// source file, except the build tree (the folder of the database, when it
// lies below the root). The options may name the folders to keep instead;
// the source root is then the deepest folder holding them. System headers
// never become classes.
//
// Failure: a database that cannot be read gives ok false and a one-line
// error naming the file and the reason; nothing is added then. Units that do
// not parse (missing files, errors, a crash inside the parser) do not stop
// the import: what they did read is kept and each is listed in failures
// with its first diagnostic.
//
// Speed: units run on all cores; what each unit read is cached beside the
// database (sources/ImportCache.h) so that an unchanged project opens again
// without parsing, and an edit re-parses only the units that read the
// changed file. Memory stays bounded by the project's classes, not by the
// number of units: a parsed unit is reduced to its facts and released.
//
// Threads: importCppProject blocks its caller; call it off the GUI thread.
// progress is called from the worker threads, one call at a time.

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/Diagram.h"
#include "sources/ProjectModel.h"

namespace lumetra {

struct CppImportOptions {
  // Folders whose declarations are kept; a relative one is taken below the
  // deepest folder holding every unit's file. Empty: that folder whole.
  std::vector<std::string> roots;
  unsigned jobs = 0;       // 0: one per core
  bool useCache = true;
};

// Units finished so far (parsed or taken from the cache), of how many, and
// the unit just finished (empty for the ones the cache gave).
using ImportProgress = std::function<void(std::size_t done, std::size_t total, const std::string& file)>;

// Progress for commands without a window: "importing 12/300: FILE" on the
// stream, one line per unit, or rewritten in place when it is a terminal.
ImportProgress progressOnStream(std::FILE* stream);

struct UnitFailure {
  std::string file;
  std::string reason;  // the first diagnostic: "file:line:column: error: ..."
};

struct CppImportResult {
  bool ok = false;  // false: the database could not be read or the import was cancelled
  bool cancelled = false;
  std::string error;     // "file: reason" when not ok
  std::string database;  // the compile_commands.json read
  std::string sourceRoot;
  std::size_t units = 0;
  std::size_t parsed = 0;  // parsed this time; the others came from the cache
  std::vector<UnitFailure> failures;
  ProjectMeasures measures;
  std::string cacheProblem;  // why the cache could not be written; empty when it was

  // One line for the user about the units that failed ("2 of 40 units had
  // errors: FILE: DIAGNOSTIC; ..."), empty when none did.
  std::string failureSummary(std::size_t shown = 3) const;
};

// The compilation database a path names: the file itself, or
// compile_commands.json in the folder or in its build/ folder. Empty when
// there is none.
std::string findCompilationDatabase(const std::string& path);

// Appends the project's diagrams to `diagrams` (the caller owns them) and its
// elements to `pool`; both are left alone when the result is not ok.
CppImportResult importCppProject(const std::string& path, std::vector<Diagram*>& diagrams, ModelElementsPool& pool,
                                 const CppImportOptions& options = {}, const ImportProgress& progress = {},
                                 const std::atomic<bool>* cancel = nullptr);

}  // namespace lumetra
