#include "model/LayoutSnapshot.h"

#include "model/Diagram.h"
#include "model/Element.h"

namespace lumetra {

namespace {

bool cornersOf(const VisualElement* shape, Vec2& lowerLeft, Vec2& upperRight) {
  const VisualElementLayout* layout = shape ? shape->getCurrentLayout() : nullptr;
  if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return false;
  lowerLeft = *layout->getLowerLeft();
  upperRight = *layout->getUpperRight();
  return true;
}

void setCorners(VisualElement* shape, Vec2 lowerLeft, Vec2 upperRight) {
  if (VisualElementLayout* layout = shape->getCurrentLayout())
    layout->setCorners(new Vec2(lowerLeft), new Vec2(upperRight));
}

DiagramElement* shapeWithId(Diagram* diagram, const std::string& id) {
  return findShapeOrChild(*diagram, [&id](const DiagramElement& shape) { return shape.getId() == id; });
}

}  // namespace

void LayoutSnapshot::add(DiagramElement* shape) {
  Box box{shape, {}, {}};
  box.hasCorners = cornersOf(shape, box.lowerLeft, box.upperRight);
  box.waypoints = shape->waypoints();
  boxes_.push_back(std::move(box));
  if (auto* composed = dynamic_cast<ComposedDiagramElement*>(shape))
    for (DiagramElement* child : composed->getChildren()) add(child);
}

LayoutSnapshot LayoutSnapshot::ofShape(DiagramElement* shape) {
  LayoutSnapshot snapshot;
  if (shape) snapshot.add(shape);
  return snapshot;
}

LayoutSnapshot LayoutSnapshot::ofDiagram(Diagram* diagram) {
  LayoutSnapshot snapshot;
  if (!diagram) return snapshot;
  for (DiagramElement* shape : diagram->getElements()) snapshot.add(shape);
  snapshot.diagram_ = diagram;
  snapshot.diagramHasCorners_ = cornersOf(diagram, snapshot.diagramLowerLeft_, snapshot.diagramUpperRight_);
  return snapshot;
}

LayoutSnapshot LayoutSnapshot::now() const {
  LayoutSnapshot snapshot;
  for (const Box& box : boxes_) {
    Box current{box.shape, {}, {}};
    current.hasCorners = cornersOf(box.shape, current.lowerLeft, current.upperRight);
    current.waypoints = box.shape->waypoints();
    snapshot.boxes_.push_back(std::move(current));
  }
  snapshot.diagram_ = diagram_;
  if (diagram_)
    snapshot.diagramHasCorners_ = cornersOf(diagram_, snapshot.diagramLowerLeft_, snapshot.diagramUpperRight_);
  return snapshot;
}

void LayoutSnapshot::restore() const {
  for (const Box& box : boxes_) {
    if (box.hasCorners) setCorners(box.shape, box.lowerLeft, box.upperRight);
    box.shape->setWaypoints(box.waypoints);
  }
  if (diagram_ && diagramHasCorners_) setCorners(diagram_, diagramLowerLeft_, diagramUpperRight_);
}

std::vector<MovedBox> movedBoxes(const LayoutSnapshot& before, const LayoutSnapshot& now) {
  std::vector<MovedBox> moved;
  const auto& a = before.boxes();
  const auto& b = now.boxes();
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i].shape == b[i].shape && b[i].hasCorners &&
        (a[i].hasCorners != b[i].hasCorners || a[i].lowerLeft != b[i].lowerLeft || a[i].upperRight != b[i].upperRight))
      moved.push_back({b[i].shape->getId(), b[i].lowerLeft, b[i].upperRight});
  return moved;
}

std::vector<std::string> placeMovedBoxes(Diagram* diagram, const std::vector<MovedBox>& boxes) {
  std::vector<std::string> missing;
  for (const MovedBox& box : boxes) {
    DiagramElement* shape = diagram ? shapeWithId(diagram, box.shapeId) : nullptr;
    if (shape && shape->getCurrentLayout()) setCorners(shape, box.lowerLeft, box.upperRight);
    else missing.push_back(box.shapeId);
  }
  return missing;
}

}  // namespace lumetra
