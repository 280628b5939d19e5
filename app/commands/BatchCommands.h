#pragma once

#include <optional>

#include "app/commands/CommandLine.h"
#include "app/commands/ExportCommand.h"

namespace lumetra {

// Runs the command without a window that the options ask for (--version,
// --save-diagram, --export) and returns its exit code; nothing when they
// ask for the viewer. With ExportEnd::ProcessEnds an export ends the
// process as soon as its file is written or its failure reported, without
// releasing the GL context, the fonts and the model piece by piece.
std::optional<int> runBatchCommand(const CommandLineOptions& options, ExportEnd end);

}  // namespace lumetra
