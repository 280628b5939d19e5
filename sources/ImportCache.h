#pragma once
// The import cache: what the last import of a project read from each unit,
// kept in one file beside the compilation database. A unit is taken from the
// cache when its compile command is the same and every project file it read
// (its source and the project headers it includes) has the same contents;
// otherwise it is parsed again. System headers are not checked: a new
// compiler or library installation calls for deleting the cache file.
//
// Classes and out-of-line members are stored once however many units saw
// them; each unit lists the ones it saw. A cache file that cannot be read
// (missing, from another version, cut short, damaged) is ignored whole.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sources/ClangParser.h"
#include "sources/SourceFacts.h"

namespace lumetra {

inline constexpr const char* kImportCacheName = "lumetra-import.cache";

struct CachedUnit {
  std::string file;
  std::uint64_t commandKey = 0;
  std::string error;
  std::vector<std::pair<std::string, std::uint64_t>> dependencies;  // path, content hash
  std::vector<std::string> classUsrs;
  std::vector<std::string> definitionUsrs;  // method USRs of its out-of-line members
};

struct ImportCacheData {
  std::string root;  // the source root and the folders kept or left out: a cache answers only for the same
  std::vector<CachedUnit> units;
  std::map<std::string, ClassFacts> classes;          // by USR
  std::map<std::string, OutOfLineFacts> definitions;  // by method USR
};

// False when there is no usable cache (data is left empty then).
bool readImportCache(const std::string& path, ImportCacheData& data);
// Replaces the file whole or not at all; the empty string or the reason.
std::string writeImportCache(const std::string& path, const ImportCacheData& data);

// A 64-bit hash of the bytes (FNV-1a); of a file's contents, or nothing
// when it cannot be read.
std::uint64_t contentHash(std::string_view bytes);
std::optional<std::uint64_t> fileHash(const std::string& path);
// A hash of the command's directory and arguments.
std::uint64_t commandKey(const CompileCommand& command);

}  // namespace lumetra
