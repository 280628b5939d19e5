#include "modelfiles/ModelLoader.h"

#include <filesystem>

#include "geometry/GeometryPasses.h"
#include "layout/AutoLayout.h"

namespace lumetra {

LoadStatus loadModel(const std::string& fileName, std::vector<Diagram*>& diagrams, ModelElementsPool& pool,
                     const std::atomic<bool>* abandon) {
  DiagramParserController controller(diagrams, pool);
  controller.setReadWholeModel(true);
  controller.open(fileName);
  runPostLoadPasses(diagrams);
  LoadStatus status = controller.status();
  if (status.ok()) addGeneratedDiagrams(status, diagrams, pool, abandon);
  return status;
}

void addGeneratedDiagrams(LoadStatus& status, std::vector<Diagram*>& diagrams, const ModelElementsPool& pool,
                          const std::atomic<bool>* abandon) {
  std::string name = status.modelName;
  if (name.empty()) name = std::filesystem::path(status.fileName).stem().string();
  if (name.empty()) name = "Model";
  for (const LayoutFailure& failure : addGeneratedDiagrams(diagrams, pool, name, abandon))
    status.notes.push_back(failure.message());
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
