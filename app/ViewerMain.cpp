// The viewer's own executable: the frame and its toolkit. Users start it
// through `lumetra`, which runs the commands without a window itself and
// hands everything else to this program with the same arguments; started
// directly with such a command, it runs the command too instead of opening
// a window.

#include <wx/app.h>
#include <wx/log.h>

#include <cstdio>
#include <optional>

#include "app/commands/BatchCommands.h"
#include "app/commands/CommandLine.h"
#include "app/frame/mainApplication.h"

int main(int argc, char** argv) {
  lumetra::CommandLineOptions options;
  const std::optional<int> code = lumetra::readCommandLine(argc, argv, options, [](const lumetra::CommandLineOptions& o) {
    return lumetra::runBatchCommand(o, lumetra::ExportEnd::Release);
  });
  if (code) return *code;
  // The toolkit aborts inside its start-up when there is no display; say so
  // in one line instead.
  if (!lumetra::displayAvailable()) {
    std::fprintf(stderr, "no display: run it in a desktop session or under xvfb-run\n");
    return 1;
  }
  // The toolkit's own messages go to stderr (a failure to start the toolkit
  // included); what the user must know, the frame shows in its dialogs.
  wxLog::SetActiveTarget(new wxLogStderr);
  wxApp::SetInstance(new lumetra::mainApplication(options));
  // The options were read above; the toolkit gets only the program name.
  int toolkitArgc = 1;
  char* toolkitArgv[] = {argv[0], nullptr};
  return wxEntry(toolkitArgc, toolkitArgv);
}
