#include "app/commands/SaveDiagramCommand.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "modelfiles/DiagramWriter.h"
#include "modelfiles/ModelLoader.h"
#include "platform/DebugOutput.h"

namespace lumetra {

namespace {

// A loaded model: the diagrams (owned, deleted with the model) and the pool.
struct LoadedModel {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  ~LoadedModel() { deleteDiagrams(diagrams); }  // shapes before the pool's elements
};

// Models left to the end of the process. The list keeps them reachable, so
// leak checkers do not report them; it is never destroyed.
std::vector<LoadedModel*>& keptModels() {
  static auto* kept = new std::vector<LoadedModel*>();
  return *kept;
}

}  // namespace

int runSaveDiagram(const std::string& out, const std::string& model, ModelRelease release) {
  // The readers' and writer's trace lines are for debugging the viewer; a
  // batch command keeps stderr for its one line of error.
  const DebugSink previous = setDebugSink([](const std::string&) {});

  auto loaded = std::make_unique<LoadedModel>();
  const LoadStatus status = loadModel(model, loaded->diagrams, loaded->pool);
  int code = 0;
  if (!status.ok()) {
    std::fprintf(stderr, "lumetra: cannot read %s\n", status.message().c_str());
    code = 1;
  } else {
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
