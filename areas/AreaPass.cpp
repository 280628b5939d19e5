#include "areas/AreaPass.h"

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaVisualizer.h"
#include "model/Element.h"
#include "render/FlatDrawState.h"
#include "render/GLState.h"

namespace lumetra {

namespace {

// The area painters' per-frame preparation grid.
constexpr int kPrepareCells = 50;

}  // namespace

void compositeAreas(const AreaSet& areas, Diagram* diagram, float areaAlpha, BlendEquationProc blendEquation) {
  AttribGuard state(GL_ALL_ATTRIB_BITS);
  clearColourBuffer(0.0f, 0.0f, 0.0f, 0.0f);

  // Areas identified over another diagram point at its shapes, not these.
  static const std::vector<IdentifiedArea*> none;
  for (IdentifiedArea* identified : areas.isShownOn(diagram) ? areas.getIdentifiedAreas() : none) {
    const Area* area = areas.findArea(identified->getName());
    if (area == nullptr) continue;
    AreaVisualizer* painter = area->getVisualizer();
    painter->prepare(kPrepareCells, diagram);
    painter->setRadius(areas.getRadius());
    painter->setIterations(areas.getIterations());
    painter->setDistance(areas.getDistance());
    painter->setAlpha(areaAlpha);
    painter->draw(identified);
  }

  // Every pixel becomes white minus what the areas left in the buffer.
  whiteMinusViewport(blendEquation);
}

std::vector<DiagramElement*> elementsNearAreas(const std::vector<DiagramElement*>& elements,
                                               const std::vector<AreaExtent>& extents, float margin) {
  std::vector<DiagramElement*> near;
  for (DiagramElement* element : elements) {
    const VisualElementLayout* layout = element != nullptr ? element->getCurrentLayout() : nullptr;
    if (layout == nullptr || layout->getLowerLeft() == nullptr || layout->getUpperRight() == nullptr) continue;
    const Vec2 lo = *layout->getLowerLeft() - Vec2(margin, margin);
    const Vec2 hi = *layout->getUpperRight() + Vec2(margin, margin);
    for (const AreaExtent& e : extents) {
      if (e.lower.x > e.upper.x || e.lower.y > e.upper.y) continue;  // nothing drawn
      if (lo.x <= e.upper.x && hi.x >= e.lower.x && lo.y <= e.upper.y && hi.y >= e.lower.y) {
        near.push_back(element);
        break;
      }
    }
  }
  return near;
}

void drawAreaPass(const AreaSet& areas, Diagram* diagram, float areaAlpha, BlendEquationProc blendEquation,
                  AreaElementsEraser& eraser) {
  compositeAreas(areas, diagram, areaAlpha, blendEquation);
  if (areas.getIdentifiedCount() == 0 || !areas.isShownOn(diagram)) return;

  // Only free elements that some area's drawing reaches need whitening.
  std::vector<AreaExtent> extents;
  bool known = true;
  for (const IdentifiedArea* identified : areas.getIdentifiedAreas()) {
    const Area* area = areas.findArea(identified->getName());
    if (area == nullptr) continue;
    AreaExtent extent;
    if (!area->getVisualizer()->getExtent(extent.lower, extent.upper)) {
      known = false;
      break;
    }
    extents.push_back(extent);
  }
  if (!known) {
    eraser.erase(areas.getFreeElements());
  } else {
    eraser.erase(elementsNearAreas(areas.getFreeElements(), extents, AreaElementsEraser::kHalo));
  }
}

}  // namespace lumetra
