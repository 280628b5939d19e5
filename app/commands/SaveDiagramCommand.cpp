#include "app/commands/SaveDiagramCommand.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "app/document/Document.h"
#include "modelfiles/DiagramWriter.h"
#include "platform/DebugOutput.h"

namespace lumetra {

namespace {

// Models left to the end of the process. The list keeps them reachable, so
// leak checkers do not report them; it is never destroyed.
std::vector<LoadedModel*>& keptModels() {
  static auto* kept = new std::vector<LoadedModel*>();
  return *kept;
}

}  // namespace

int runSaveDiagram(const std::string& out, const std::string& model, ModelRelease release,
                   const std::vector<std::string>& importRoots) {
  // The readers' and writer's trace lines are for debugging the viewer; a
  // batch command keeps stderr for its one line of error.
  const DebugSink previous = setDebugSink([](const std::string&) {});

  // A C++ project imports with its progress on stderr.
  std::unique_ptr<LoadedModel> loaded = readModel(model, {progressOnStream(stderr), nullptr, importRoots});
  const LoadStatus& status = loaded->status;
  if (!loaded->notes.empty()) std::fprintf(stderr, "lumetra: warning: %s\n", loaded->notes.c_str());
  int code = 0;
  if (!status.ok()) {
    std::fprintf(stderr, "lumetra: cannot read %s\n", status.message().c_str());
    code = 1;
  } else {
    for (const std::string& note : status.notes) std::fprintf(stderr, "lumetra: %s\n", note.c_str());
    XMLDiagramWriter writer(out, loaded->diagrams, loaded->pool);
    if (!writer.write()) {
      std::fprintf(stderr, "lumetra: %s\n", writer.errorText().c_str());
      code = 1;
    }
  }
  if (release == ModelRelease::KeepUntilExit) keptModels().push_back(loaded.release());
  setDebugSink(previous);
  return code;
}

}  // namespace lumetra
