#include "modelfiles/ModelLoader.h"

#include "render/geometry/GeometryPasses.h"

namespace lumetra {

LoadStatus loadModel(const std::string& fileName, std::vector<Diagram*>& diagrams, ModelElementsPool& pool) {
  DiagramParserController controller(diagrams, pool);
  controller.open(fileName);
  normalizeGeometry(diagrams);
  applyDefaultAppearances(diagrams);
  orderElements(diagrams);
  return controller.status();
}

void deleteDiagrams(std::vector<Diagram*>& diagrams) {
  for (Diagram* diagram : diagrams) delete diagram;
  diagrams.clear();
}

}  // namespace lumetra
