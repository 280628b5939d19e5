#pragma once
// What a canvas window draws its diagram through.
//
// A window borrows one painter (the main frame owns it) and calls
// drawDiagram inside the window's display list, after loading its camera
// matrices: everything the painter emits in immediate mode is captured, so a
// camera-only change replays the list without calling the painter again.
//
// Right before it compiles the list, the window calls prepare with the same
// matrices loaded and no list open. There a painter may render pictures that
// do not depend on the camera into textures (framebuffer binds and uploads
// cannot be recorded in a list) and let the following drawDiagram draw them.
// Several windows share one painter, so the textures a list refers to live
// in the window's own PreparedScene, which the window keeps as long as the
// list and releases with its GL context current.

#include <memory>

namespace lumetra {

class Diagram;

// Where the scene a painter draws may be cut into parts. A window records
// each part in a display list of its own with the box its drawing lies in
// (as GLPainter tracked it) and replays only the parts that can show in the
// view (render/ScenePart.h).
class SceneParts {
 public:
  virtual ~SceneParts() = default;
  // Ends the part that every replay calls: what was drawn so far need not
  // go through GLPainter (a background over the whole view, say).
  virtual void endBackground() = 0;
  // A part may end here. Everything drawn since the background or the last
  // such point went through GLPainter, and no GL state is set for what
  // follows other than what GLPainter keeps in a GLStateBatch (settled
  // before a cut).
  virtual void mayCut() = 0;
};

// GL resources a painter prepared for one window's display list.
class PreparedScene {
 public:
  virtual ~PreparedScene() = default;
};

class DiagramPainter {
 public:
  // Draws the whole diagram in diagram units (y up, centred on the origin)
  // into the current model-view and projection.
  virtual void drawDiagram(Diagram* diagram) = 0;
  // Called outside any display list right before a drawDiagram that a
  // window records; the painter keeps what it made in scene (it may replace
  // an object of another painter there). Only the next drawDiagram of the
  // same diagram may use it. By default nothing is prepared.
  virtual void prepare(Diagram* diagram, std::unique_ptr<PreparedScene>& scene) {}
  // drawDiagram for a window that records it in parts; a painter that marks
  // no cuts draws one part, replayed always.
  virtual void drawDiagramInParts(Diagram* diagram, SceneParts& parts) { drawDiagram(diagram); }
  virtual ~DiagramPainter() = default;
};

}  // namespace lumetra
