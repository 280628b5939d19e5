#pragma once
// The program's command line: without --export, --save-diagram or --version
// it starts the viewer (opening MODEL with the named metrics file, diagram,
// metrics and areas); those options run a command without a window. Parsed with wxWidgets' command-line conventions.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumetra {

struct CommandLineOptions {
  bool version = false;
  std::string saveDiagram;  // --save-diagram OUT.dia
  std::string exportImage;  // --export OUT.png|.jpg|.svg|.pdf
  std::string diagram;      // --diagram NAME
  std::string size;         // --size WxH
  std::string metricsFile;  // --metrics FILE
  std::vector<std::string> metrics;  // --metric NAME, in order
  std::vector<std::string> areas;    // --area NAME[:PAINTER], in order
  bool fullDetail = false;  // --full-detail: no level of detail in the picture
  std::string model;        // the positional MODEL
  bool legend = false;      // --legend: the legend is drawn (viewer and --export)
  // --config FILE: a saved configuration (viewer and --export). MODEL,
  // --metrics and --diagram given beside it replace what it names; --metric
  // and --area show more; --size replaces the saved window size.
  std::string config;

  bool isBatch() const { return version || !saveDiagram.empty() || !exportImage.empty(); }
};

enum class ParseOutcome { Run, ExitOk, ExitError };

// Parses the arguments; usage, help and errors are printed by the parser.
// Needs wxWidgets initialised (a wxInitializer is enough).
ParseOutcome parseCommandLine(int argc, char** argv, CommandLineOptions& options);

// What both programs do first: the toolkit's base initialised, the
// arguments parsed into options and, where the command line asks for a
// command, commands(options) run while the base is still initialised.
// Returns the exit code to end with: 1 when the base cannot be initialised,
// 0 after help, 2 after a usage error, or what commands returned; nothing
// when the program goes on (commands returned nothing or none was given).
std::optional<int> readCommandLine(
    int argc, char** argv, CommandLineOptions& options,
    const std::function<std::optional<int>(const CommandLineOptions&)>& commands = {});

// What one --area value asks for: NAME or NAME:PAINTER with PAINTER
// "Inner", "Outer" or "Square" (default "Inner"). The text after the last
// colon is a painter only when it is one of those names, so "a:b" is the
// area "a:b" with the default painter.
struct AreaOption {
  std::string name;
  std::string painter;
};
AreaOption parseAreaOption(const std::string& value);

// "lumetra <version>".
std::string versionText();

}  // namespace lumetra
