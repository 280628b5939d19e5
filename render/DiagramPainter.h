#pragma once
// What a canvas window draws its diagram through.
//
// A window borrows one painter (the main frame owns it) and calls
// drawDiagram inside the window's display list, after loading its camera
// matrices: everything the painter emits in immediate mode is captured, so a
// camera-only change replays the list without calling the painter again.

namespace lumetra {

class Diagram;

class DiagramPainter {
 public:
  // Draws the whole diagram in diagram units (y up, centred on the origin)
  // into the current model-view and projection.
  virtual void drawDiagram(Diagram* diagram) = 0;
  virtual ~DiagramPainter() = default;
};

}  // namespace lumetra
