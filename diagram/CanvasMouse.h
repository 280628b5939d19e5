#pragma once
// The mouse in a canvas window: hover boxes, click selection, camera moves
// and moving boxes.
//
// One CanvasMouse serves every window of a canvas (there is one pointer and
// one keyboard): the canvas hands each event inside the active window to
// onMouse. Per event, in this order:
//   - a shown hover box goes;
//   - no button down and a metrics overlay painting: pick under the pointer
//     and show the first glyph's metric value (light red) or else the first
//     element's label (light green), 16 pixels right of the pointer;
//   - left press: pick; without Shift the selection is cleared first; a
//     glyph hit toggles its metric and tells the frame the metric's name,
//     otherwise every element hit is toggled; the first element hit becomes
//     the press target;
//   - motion with the left button down (right button up): with Shift turn
//     (dx / 5 degrees in the plane, dy / 5 degrees of tilt); with Ctrl move
//     the press target's box so that it follows the pointer (the pointer
//     distance over zoom, turned back by the view's turn and tilt; a
//     composed box takes its children along; a component interface stays
//     where its service put it); otherwise pan so that the diagram follows
//     the pointer;
//   - left release with Ctrl after a press in this window: the press
//     target's box is moved by what the motions have not yet moved it, so
//     that it ends under the pointer even when the motions came late or
//     without the button (a busy program is told of a motion only later,
//     with the pointer's state of then);
//   - wheel: zoom times 2^(rotation / 1024).
// Window coordinates: event positions are the canvas's (y down); picks use
// window pixels with y up.
//
// The press target points into the loaded model: the frame calls
// forgetPressTarget whenever that model is closed or replaced. A target that
// is not on the diagram the window shows is never moved.

#include "render/CanvasWindow.h"

namespace lumetra {

class Diagram;
class DiagramElement;
class ModelElement;
class PickResult;

// The diagram offset under a pointer move of (dx, dy) pixels (y down) in a
// view with this camera, at the diagram plane: what a dragged box moves by
// to stay under the pointer.
Vec2 screenToDiagramOffset(const Camera& camera, float dx, float dy);

class CanvasMouse : public WindowMouseHandler {
 public:
  void onMouse(CanvasWindow& window, const PointerEvent& event, int canvasHeight) override;

  // Drops the press target (the model it points into is going away).
  void forgetPressTarget() { pressTarget_ = nullptr; }
  ModelElement* pressTarget() const { return pressTarget_; }

  // The shape showing model on diagram (top-level or a child of a composed
  // shape), found by address only, so a target whose model was replaced is
  // never read; null when the diagram does not show it.
  static DiagramElement* shapeOf(Diagram* diagram, const ModelElement* model);
  // Moves shape's box by (dx, dy) diagram units, and the boxes of its
  // children if it is composed.
  static void moveShape(DiagramElement* shape, float dx, float dy);

 private:
  // Picks under the event's position in window; false when nothing could be
  // picked (no diagram painter, no GL context).
  bool pickAt(CanvasWindow& window, const PointerEvent& event, int canvasHeight, PickResult& result);
  void showHoverBox(CanvasWindow& window, const PointerEvent& event, int canvasHeight);
  void press(CanvasWindow& window, const PointerEvent& event, int canvasHeight);
  void drag(CanvasWindow& window, const PointerEvent& event);
  void dragShape(CanvasWindow& window, float dx, float dy);

  // Pointer positions in canvas pixels, y down.
  struct Position {
    int x = 0;
    int y = 0;
  };
  static Position positionOf(const PointerEvent& event) { return {event.x, event.y}; }

  Position lastPosition_;
  // Where the last drag step left the pointer since the left press in this
  // window; pressed_ while that button is down.
  Position dragPosition_;
  bool pressed_ = false;
  ModelElement* pressTarget_ = nullptr;  // not owned
};

}  // namespace lumetra
