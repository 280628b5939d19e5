#include "app/SaveDiagramCommand.h"

#include <cstdio>
#include <vector>

#include "modelfiles/DiagramWriter.h"
#include "modelfiles/ModelLoader.h"
#include "platform/DebugOutput.h"

namespace lumetra {

int runSaveDiagram(const std::string& out, const std::string& model) {
  // The readers' and writer's trace lines are for debugging the viewer; a
  // batch command keeps stderr for its one line of error.
  const DebugSink previous = setDebugSink([](const std::string&) {});

  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  const LoadStatus status = loadModel(model, diagrams, pool);
  int code = 0;
  if (!status.ok()) {
    std::fprintf(stderr, "lumetra: cannot read %s\n", status.message().c_str());
    code = 1;
  } else {
    XMLDiagramWriter writer(out, diagrams, pool);
    if (!writer.write()) {
      std::fprintf(stderr, "lumetra: %s\n", writer.errorText().c_str());
      code = 1;
    }
  }
  deleteDiagrams(diagrams);
  setDebugSink(previous);
  return code;
}

}  // namespace lumetra
