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

#include "app/commands/BatchCommands.h"
#include "app/commands/CommandLine.h"
#include "app/commands/ViewerLaunch.h"

int main(int argc, char** argv) {
  lumetra::CommandLineOptions options;
  const std::optional<int> code = lumetra::readCommandLine(argc, argv, options, [](const lumetra::CommandLineOptions& o) {
    return lumetra::runBatchCommand(o, lumetra::ExportEnd::ProcessEnds);
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
