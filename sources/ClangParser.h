#pragma once
// Reading a compilation database and parsing its translation units with
// libclang. This header and its source file are the only place that knows
// libclang: nothing here exposes its types.
//
// Parsing a unit never throws for a bad unit: what the parser could not do
// comes back as UnitFacts::error, with what it did read. A crash inside
// libclang on one unit is caught by libclang's crash recovery and reported
// as that unit's error.

#include <memory>
#include <string>
#include <vector>

#include "sources/SourceFacts.h"

namespace lumetra {

// One entry of compile_commands.json.
struct CompileCommand {
  std::string directory;               // where the command runs
  std::string file;                    // the source file, absolute
  std::vector<std::string> arguments;  // the whole command, compiler first
};

// Reads the compile_commands.json in `folder`. False (with the reason in
// `error`) when there is none or it cannot be read as a compilation database.
bool readCompilationDatabase(const std::string& folder, std::vector<CompileCommand>& commands, std::string& error);

// Which files hold the project's own declarations: those below the root and,
// when kept names any folders, below one of them; never those below
// excluded (the build tree, whose generated and downloaded sources are not
// the project's). Paths are absolute, without a trailing '/'.
struct ProjectFiles {
  std::string root;
  std::vector<std::string> kept;
  std::string excluded;  // empty: none
  bool contains(const std::string& path) const;
};

// Parses units one after another; each worker thread owns one.
class UnitParser {
 public:
  explicit UnitParser(ProjectFiles files);
  ~UnitParser();
  UnitParser(const UnitParser&) = delete;
  UnitParser& operator=(const UnitParser&) = delete;

  UnitFacts parse(const CompileCommand& command);

 private:
  struct Index;
  std::unique_ptr<Index> index_;
  ProjectFiles files_;
};

}  // namespace lumetra
