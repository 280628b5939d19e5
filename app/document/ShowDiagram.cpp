#include "app/document/ShowDiagram.h"

#include <algorithm>

#include "app/document/Document.h"
#include "areas/Area.h"
#include "render/CanvasWindow.h"

namespace lumetra {

bool showDiagram(Document& document, CanvasWindow& window, Diagram* diagram) {
  const std::vector<Diagram*>& loaded = document.diagrams();
  if (diagram == nullptr || std::find(loaded.begin(), loaded.end(), diagram) == loaded.end()) return false;
  // Areas first, so that the one recording shows them.
  reidentifyAreas(document.areas(), diagram, document.areas().drawsByValue());
  window.setContent(diagram, window.visualizer());
  return true;
}

}  // namespace lumetra
