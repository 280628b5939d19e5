// The lumetra executable: the commands without a window (--export,
// --save-diagram, --version, --help) run here; the viewer is a program of
// its own (app/ViewerMain.cpp) that this one replaces itself with, keeping
// the arguments, the environment and the process. This program links no
// window toolkit, so a picture made from the command line does not pay for
// loading and relocating one (and the GL driver's symbols are looked up
// through a few libraries instead of nearly a hundred).

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/ExportCommand.h"
#include "app/SaveDiagramCommand.h"
#include "app/ViewerLaunch.h"

int main(int argc, char** argv) {
  lumetra::CommandLineOptions options;
  const std::optional<int> code =
      lumetra::readCommandLine(argc, argv, options, [](const lumetra::CommandLineOptions& o) -> std::optional<int> {
        if (o.version) {
          std::printf("%s\n", lumetra::versionText().c_str());
          return 0;
        }
        if (!o.saveDiagram.empty()) return lumetra::runSaveDiagram(o.saveDiagram, o.model);
        if (!o.exportImage.empty()) {
          // Nothing is left to do once the file is written or the failure
          // reported: the process ends there, without releasing the GL
          // context, the fonts and the model piece by piece, or running the
          // GL driver's and its compiler's exit handlers.
          const int exitCode = lumetra::runExport(o, lumetra::ExportEnd::ProcessEnds);
          std::fflush(nullptr);
          _exit(exitCode);
        }
        return std::nullopt;
      });
  if (code) return *code;
  const std::string viewer = lumetra::findViewer();
  if (viewer.empty()) {
    std::fprintf(stderr, "lumetra: cannot start the viewer: %s not found beside %s or in %s\n",
                 lumetra::kViewerName, argv[0], lumetra::kViewerInstallDir);
    return 1;
  }
  std::fflush(nullptr);
  execv(viewer.c_str(), argv);
  std::fprintf(stderr, "lumetra: cannot start the viewer %s: %s\n", viewer.c_str(), std::strerror(errno));
  return 1;
}
