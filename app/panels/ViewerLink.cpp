#include "app/panels/ViewerLink.h"

#include "render/Canvas.h"
#include "render/CanvasWindow.h"

namespace lumetra {

bool ViewerLink::showDiagram(Diagram* diagram) {
  Canvas* shown = canvas();
  CanvasWindow* window = shown != nullptr ? shown->activeWindow() : nullptr;
  if (window == nullptr || diagram == nullptr) return false;
  // Areas first, so that the one recording setDiagram makes shows them.
  identifyShownAreasAgain(diagram);
  window->setDiagram(diagram);
  // Other windows still show the areas over the diagram they left.
  if (!shown->rootOnly()) refreshAreas();
  return true;
}

}  // namespace lumetra
