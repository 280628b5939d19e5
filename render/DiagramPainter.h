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
#include <string>
#include <vector>

namespace lumetra {

class Diagram;
class DiagramElement;
class ModelElement;

// What a painter draws between two cut points of a scene recorded in parts:
// one top-level shape (with the children of a composed shape), or the
// glyphs standing on one shape.
struct ScenePiece {
  DiagramElement* shape = nullptr;
  bool glyphs = false;
};

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
  // What was drawn since the last cut point (or the background): called
  // right before each mayCut by a painter that can draw single pieces
  // again (DiagramPainter::drawPieces).
  virtual void pieceDrawn(const ScenePiece& piece) {}
};

// Which selected states changed: the model elements (one per identifier)
// and the metric names now selected that were not, or the other way round.
struct SelectionChange {
  std::vector<const ModelElement*> elements;
  std::vector<std::string> metrics;
  bool empty() const { return elements.empty() && metrics.empty(); }
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
  // Whether most lines of the diagram are drawn plain at the painter's
  // detail scale (GLPainter::detailScale): a window then records and
  // replays it on a plain line base (GLPainter::setPlainLineBase), which
  // changes no pixel, only how often line smoothing is switched.
  virtual bool linesMostlyPlain(Diagram* diagram) { return false; }

  // ---- bringing a recorded scene up to date after a shape moved or the
  // selection changed ----
  // A window that recorded its scene in parts, with the pieces each part
  // holds, redraws only the parts whose drawing depends on the moved
  // shape's box, or on the selected state of what changed. The painter tells which pieces those are and draws them
  // again; each call draws exactly what drawDiagramInParts drew for them,
  // with the same matrices loaded, into a list the window has opened.
  //
  // The shapes whose pieces depend on the box of moved (moved itself, a
  // composed shape holding it, its children, the relations ending on any
  // of these). Whether the background depends on it is returned. By
  // default a painter says it cannot tell (false and background true): the
  // window then records everything again.
  virtual bool shapesDependingOn(Diagram* diagram, DiagramElement* moved, std::vector<DiagramElement*>& shapes,
                                 bool& background) {
    background = true;
    return false;
  }
  // The pieces drawn differently now that the selected state of what change
  // names is the other one, and whether the background is. By default a
  // painter says it cannot tell (false): the window records everything.
  virtual bool piecesShowingSelection(Diagram* diagram, const SelectionChange& change,
                                      std::vector<ScenePiece>& pieces, bool& background) {
    background = true;
    return false;
  }
  // The background alone, as drawDiagramInParts draws it before
  // endBackground, after prepare. False when the painter cannot.
  virtual bool drawBackground(Diagram* diagram) { return false; }
  // These pieces, in order, as drawDiagramInParts drew them; the GL state
  // is settled at the end. False when the painter cannot.
  virtual bool drawPieces(Diagram* diagram, const std::vector<ScenePiece>& pieces) { return false; }

  // Drawn over the scene in window pixels (a pixel projection of the window
  // loaded, y up) at every render, cached or not, before the hover box: what
  // explains the picture rather than belonging to it (the legend). Nothing
  // by default.
  virtual void drawOverlay(Diagram* diagram, int windowWidth, int windowHeight) {}

  virtual ~DiagramPainter() = default;
};

}  // namespace lumetra
