// The lumetra executable: the viewer, or a command without a window.

#include <wx/init.h>

#include <cstdio>

#include "app/CommandLine.h"
#include "app/ExportCommand.h"
#include "app/SaveDiagramCommand.h"

int main(int argc, char** argv) {
  lumetra::CommandLineOptions options;
  {
    wxInitializer initializer(argc, argv);
    if (!initializer.IsOk()) {
      std::fprintf(stderr, "lumetra: could not initialise wxWidgets\n");
      return 1;
    }
    switch (lumetra::parseCommandLine(argc, argv, options)) {
      case lumetra::ParseOutcome::ExitOk: return 0;
      case lumetra::ParseOutcome::ExitError: return 2;
      case lumetra::ParseOutcome::Run: break;
    }
    if (options.version) {
      std::printf("%s\n", lumetra::versionText().c_str());
      return 0;
    }
    if (!options.saveDiagram.empty()) return lumetra::runSaveDiagram(options.saveDiagram, options.model);
    if (!options.exportImage.empty()) return lumetra::runExport(options);
  }
  std::fprintf(stderr, "lumetra: the viewer is not built yet; try --help\n");
  return 1;
}
