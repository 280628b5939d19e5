#include "app/commands/BatchCommands.h"

#include <unistd.h>

#include <cstdio>

#include "app/commands/SaveDiagramCommand.h"

namespace lumetra {

std::optional<int> runBatchCommand(const CommandLineOptions& options, ExportEnd end) {
  if (options.version) {
    std::printf("%s\n", versionText().c_str());
    return 0;
  }
  if (!options.saveDiagram.empty()) return runSaveDiagram(options.saveDiagram, options.model, ModelRelease::KeepUntilExit, options.importRoots);
  if (options.exportImage.empty() && options.exportAll.empty()) return std::nullopt;
  const int exitCode = options.exportAll.empty() ? runExport(options, end) : runExportAll(options, end);
  if (end == ExportEnd::ProcessEnds) {
    // Nothing is left to do once the file is written: the GL driver's and
    // its compiler's exit handlers are skipped too.
    std::fflush(nullptr);
    _exit(exitCode);
  }
  return exitCode;
}

}  // namespace lumetra
