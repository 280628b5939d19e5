#include "modelfiles/ModelLoader.h"

#include "geometry/GeometryPasses.h"

namespace lumetra {

LoadStatus loadModel(const std::string& fileName, std::vector<Diagram*>& diagrams, ModelElementsPool& pool) {
  DiagramParserController controller(diagrams, pool);
  controller.open(fileName);
  runPostLoadPasses(diagrams);
  return controller.status();
}

void runPostLoadPasses(std::vector<Diagram*>& diagrams) {
  normalizeGeometry(diagrams);
  applyDefaultAppearances(diagrams);
  orderElements(diagrams);
}

void deleteDiagrams(std::vector<Diagram*>& diagrams) {
  for (Diagram* diagram : diagrams) delete diagram;
  diagrams.clear();
}

}  // namespace lumetra
