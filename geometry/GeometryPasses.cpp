#include "geometry/GeometryPasses.h"

#include <algorithm>
#include <cmath>

#include "model/ScenarioElements.h"
#include "model/UmlElements.h"

namespace lumetra {

namespace {

// The corners of a shape's current layout, or null when it has none yet
// (interface markers before placement, or a shape built without geometry).
VisualElementLayout* boxOf(const VisualElement& element) {
  VisualElementLayout* layout = element.getCurrentLayout();
  if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return nullptr;
  return layout;
}

// y mirrored inside [low, high]. Where high - low does not fit a float (a
// box spanning most of the float range), the sum form keeps it finite.
float mirrored(float y, float low, float high) {
  if (std::isfinite(high - low)) return high - (y - low);
  return (high + low) - y;
}

// The middle of [low, high], finite whenever both ends are.
float middle(float low, float high) {
  const float span = high - low;
  if (std::isfinite(span)) return low + span / 2.0f;
  return low / 2.0f + high / 2.0f;
}

// Mirrors the box vertically inside the diagram box [dmin, dmax] (the
// readers deliver y downwards) and moves it by -centre.
void mirrorAndShift(VisualElement& element, const Vec2& dmin, const Vec2& dmax, const Vec2& centre) {
  VisualElementLayout* layout = boxOf(element);
  if (!layout) return;
  const Vec2 lo = *layout->getLowerLeft();
  const Vec2 hi = *layout->getUpperRight();
  const Vec2 newLo(lo.x, mirrored(hi.y, dmin.y, dmax.y));
  const Vec2 newHi(hi.x, mirrored(lo.y, dmin.y, dmax.y));
  layout->setCorners(new Vec2(newLo - centre), new Vec2(newHi - centre));
}

bool finite(const Vec2& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

void normalizeDiagram(Diagram& diagram) {
  std::vector<DiagramElement*>& elements = diagram.getElements();
  bool any = false;
  Vec2 dmin, dmax;
  for (DiagramElement* element : elements) {
    const VisualElementLayout* layout = boxOf(*element);
    if (!layout) continue;
    const Vec2 lo = *layout->getLowerLeft();
    const Vec2 hi = *layout->getUpperRight();
    // A damaged geometry (read as not a number or infinite) would carry the
    // whole diagram with it; it is left out of the box.
    if (!finite(lo) || !finite(hi)) continue;
    if (!any) {
      dmin = lo;
      dmax = hi;
      any = true;
    } else {
      dmin = Vec2(std::min(dmin.x, lo.x), std::min(dmin.y, lo.y));
      dmax = Vec2(std::max(dmax.x, hi.x), std::max(dmax.y, hi.y));
    }
  }
  if (!any) return;

  const Vec2 centre(middle(dmin.x, dmax.x), middle(dmin.y, dmax.y));
  for (DiagramElement* element : elements) {
    mirrorAndShift(*element, dmin, dmax, centre);
    if (element->getTypeName() == "ComposedDiagramElement")
      placeInterfaces(static_cast<ComposedDiagramElement&>(*element));
  }
  const std::size_t supplementary = diagram.getSupplementaryElementCount();
  for (std::size_t i = 0; i < supplementary; ++i)
    mirrorAndShift(*diagram.getSupplementaryElement(i), dmin, dmax, centre);

  // The diagram's own box, centred too.
  if (VisualElementLayout* own = diagram.getCurrentLayout())
    own->setCorners(new Vec2(dmin - centre), new Vec2(dmax - centre));
}

}  // namespace

void placeInterfaces(ComposedDiagramElement& service) {
  const VisualElementLayout* layout = boxOf(service);
  if (!layout) return;
  const Vec2 lo = *layout->getLowerLeft();
  const Vec2 hi = *layout->getUpperRight();
  const float k = kScenarioScale;
  const float half = (20.0f / k) / 2.0f;
  const float step = 30.0f / k;
  float leftHeight = hi.y - 40.0f / k;
  float rightHeight = leftHeight;

  for (std::size_t i = 0; i < service.getChildCount(); ++i) {
    DiagramElement* child = service.getChild(i);
    ModelElement* model = child->getModelElement();
    if (!model || model->getTypeName() != "PelkInterface") continue;
    // Alpha 2.0 keeps the marker opaque while the global alpha factor is at least 0.5.
    if (ElementAppearance* appearance = child->getAppearance()) appearance->fillColour = Color(1.0f, 1.0f, 1.0f, 2.0f);
    Vec2 centre;
    if (static_cast<PelkInterface*>(model)->getKind() == "provided") {
      centre = Vec2(lo.x, leftHeight);
      leftHeight -= step;
    } else {
      centre = Vec2(hi.x, rightHeight);
      rightHeight -= step;
    }
    VisualElementLayout* marker = child->getCurrentLayout();
    if (!marker) continue;
    marker->setCorners(new Vec2(centre - Vec2(half, half)), new Vec2(centre + Vec2(half, half)));
  }
}

void normalizeGeometry(const std::vector<Diagram*>& diagrams) {
  for (Diagram* diagram : diagrams)
    if (diagram) normalizeDiagram(*diagram);
}

void applyDefaultAppearances(const std::vector<Diagram*>& diagrams) {
  for (Diagram* diagram : diagrams) {
    if (!diagram) continue;
    for (DiagramElement* element : diagram->getElements()) {
      ModelElement* model = element->getModelElement();
      ElementAppearance* appearance = element->getAppearance();
      if (!model || !appearance) continue;
      const std::string kind = model->getTypeName();
      if (kind == "Class" || kind == "Interface")
        appearance->fillColour = Color(1.0f, 1.0f, 0.8f, 1.0f);
      else if (kind == "Association")
        appearance->outlineColour = Color(0.6f, 0.0f, 0.2f, 1.0f);
      else if (kind == "PelkService")
        appearance->fillColour = Color(0.4f, 1.0f, 1.0f, 1.0f);
    }
  }
}

bool isBoxElement(const DiagramElement& element) {
  const ModelElement* model = element.getModelElement();
  if (!model) return false;
  const std::string kind = model->getTypeName();
  return kind == "Class" || kind == "Interface" || kind == "Package" || kind == "PelkService";
}

void orderElements(const std::vector<Diagram*>& diagrams) {
  for (Diagram* diagram : diagrams) {
    if (!diagram) continue;
    const std::string type = diagram->getTypeName();
    if (type != "ClassDiagram" && type != "PelkComponentDiagram") continue;
    // All relations before all boxes, each group in its original order: the
    // order an adjacent-swap sort of (box, relation) pairs would reach, in
    // linear time.
    std::vector<DiagramElement*>& elements = diagram->getElements();
    std::stable_partition(elements.begin(), elements.end(),
                          [](const DiagramElement* e) { return !isBoxElement(*e); });
  }
}

}  // namespace lumetra
