#pragma once
// The boxes and bend points of some shapes at one moment, to put them back
// later exactly (an undone move or arrangement, a layout reset) or to tell
// which boxes differ from another moment's (the boxes a user moved, which a
// configuration keeps).
//
// A snapshot points into the diagram it was taken of: whoever keeps one
// drops it before that diagram goes. Corners are diagram units, y up.

#include <string>
#include <vector>

#include "model/Vec2.h"

namespace lumetra {

class Diagram;
class DiagramElement;

class LayoutSnapshot {
 public:
  struct Box {
    DiagramElement* shape;  // not owned
    Vec2 lowerLeft, upperRight;
    bool hasCorners = false;      // a shape without a box keeps only its bend points
    std::vector<Vec2> waypoints;  // a relation's route
    bool operator==(const Box&) const = default;
  };

  LayoutSnapshot() = default;
  // The shape, and the children of a composed shape.
  static LayoutSnapshot ofShape(DiagramElement* shape);
  // Every shape of the diagram, children included, and the diagram's own
  // box (views fit to it).
  static LayoutSnapshot ofDiagram(Diagram* diagram);

  // The same shapes as they stand now.
  LayoutSnapshot now() const;
  // Sets every recorded shape's box and bend points back as recorded.
  void restore() const;

  const std::vector<Box>& boxes() const { return boxes_; }
  bool empty() const { return boxes_.empty(); }
  bool operator==(const LayoutSnapshot&) const = default;

 private:
  void add(DiagramElement* shape);
  std::vector<Box> boxes_;
  Diagram* diagram_ = nullptr;  // not owned; set by ofDiagram
  Vec2 diagramLowerLeft_, diagramUpperRight_;
  bool diagramHasCorners_ = false;
};

// A box moved away from where a file put it, by the shape's identifier.
struct MovedBox {
  std::string shapeId;
  Vec2 lowerLeft, upperRight;
  bool operator==(const MovedBox&) const = default;
};

// The boxes of now whose corners differ from those of before (both of the
// same shapes, as now() gives them), in before's order. Bend points do not
// count: a moved box is one whose corners changed.
std::vector<MovedBox> movedBoxes(const LayoutSnapshot& before, const LayoutSnapshot& now);

// Puts each box on the diagram shape of its identifier (top-level or a
// child). Returns the identifiers no shape of the diagram carries; those
// boxes are skipped.
std::vector<std::string> placeMovedBoxes(Diagram* diagram, const std::vector<MovedBox>& boxes);

}  // namespace lumetra
