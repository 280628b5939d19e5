#include "model/LayoutSnapshot.h"

#include "model/Diagram.h"
#include "model/Element.h"

namespace lumetra {

namespace {

bool cornersOf(const DiagramElement* shape, Vec2& lowerLeft, Vec2& upperRight) {
  const VisualElementLayout* layout = shape ? shape->getCurrentLayout() : nullptr;
  if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return false;
  lowerLeft = *layout->getLowerLeft();
  upperRight = *layout->getUpperRight();
  return true;
}

void setCorners(DiagramElement* shape, Vec2 lowerLeft, Vec2 upperRight) {
  if (VisualElementLayout* layout = shape->getCurrentLayout())
    layout->setCorners(new Vec2(lowerLeft), new Vec2(upperRight));
}

DiagramElement* shapeWithId(Diagram* diagram, const std::string& id) {
  return findShapeOrChild(*diagram, [&id](const DiagramElement& shape) { return shape.getId() == id; });
}

}  // namespace

void LayoutSnapshot::add(DiagramElement* shape) {
  Box box{shape, {}, {}};
  if (cornersOf(shape, box.lowerLeft, box.upperRight)) boxes_.push_back(box);
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
  if (diagram)
    for (DiagramElement* shape : diagram->getElements()) snapshot.add(shape);
  return snapshot;
}

LayoutSnapshot LayoutSnapshot::now() const {
  LayoutSnapshot snapshot;
  for (const Box& box : boxes_) {
    Box current = box;
    cornersOf(box.shape, current.lowerLeft, current.upperRight);
    snapshot.boxes_.push_back(current);
  }
  return snapshot;
}

void LayoutSnapshot::restore() const {
  for (const Box& box : boxes_) setCorners(box.shape, box.lowerLeft, box.upperRight);
}

std::vector<MovedBox> movedBoxes(const LayoutSnapshot& before, const LayoutSnapshot& now) {
  std::vector<MovedBox> moved;
  const auto& a = before.boxes();
  const auto& b = now.boxes();
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i].shape == b[i].shape && !(a[i] == b[i]))
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
