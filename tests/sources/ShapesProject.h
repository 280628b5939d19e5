#pragma once
// The small C++ project of tests/sources/data/shapes: a compilation database
// for it, written at test time since its paths must be absolute.

#include <filesystem>
#include <fstream>
#include <string>

namespace lumetra::testing {

inline const char* const kShapesUnits[] = {"geo/Circle.cpp", "scene/Scene.cpp", "main.cpp", "tools/Report.cpp"};

inline std::filesystem::path shapesSources() {
  return std::filesystem::path(LUMETRA_SOURCE_DIR) / "tests/sources/data/shapes";
}

// Writes database/compile_commands.json for the project's sources in
// `sources` and returns its path.
inline std::filesystem::path writeShapesDatabase(const std::filesystem::path& database,
                                                 const std::filesystem::path& sources = shapesSources()) {
  std::string json = "[\n";
  for (const char* unit : kShapesUnits)
    json += std::string(json.size() > 2 ? ",\n" : "") + R"({"directory": ")" + database.string() + R"(", "file": ")" +
            (sources / unit).string() + R"(", "command": "/usr/bin/c++ -std=c++17 -I)" + sources.string() +
            " -o x.o -c " + (sources / unit).string() + "\"}";
  std::filesystem::create_directories(database);
  const std::filesystem::path file = database / "compile_commands.json";
  std::ofstream(file) << json << "\n]\n";
  return file;
}

}  // namespace lumetra::testing
