#pragma once
// The program's command line: without --export, --save-diagram or --version
// it starts the viewer (opening MODEL with the named metrics file, diagram,
// metrics and areas); those options run a command without a window. Parsed with wxWidgets' command-line conventions.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/document/CommandLineOptions.h"

namespace lumetra {

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

// "lumetra <version>".
std::string versionText();

}  // namespace lumetra
