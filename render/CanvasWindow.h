#pragma once
// One view of the split canvas: a viewport rectangle, its camera, one display
// list caching the compiled scene, and the borrowed painter and diagram.
//
// Repaint: render(useCache) clears the viewport, loads the camera matrices
// and either replays the display list or recompiles it by calling the
// painter's drawDiagram; drawFrame(isActive) then draws the window's border.
// The "display list" is a sequence of lists, one per part of the scene the
// painter marked (DiagramPainter.h, SceneParts), each with the box its
// drawing lies in: a replay calls every part that can show under the
// current camera and leaves out the rest, so a pan or zoom never misses a
// part, and a view of a corner of a large diagram replays little else.
// A camera-only change may use the cache; any change of the diagram, the
// painter, a painter setting or the geometry needs an uncached render (the
// window also recompiles by itself when its list was never built or went
// stale, for example while stereo drew without it).
//
// Offscreen use (image export): with a GL context current, build a window of
// the image size on any WindowHost (a host whose refreshWindow does nothing
// is enough), setVisualizer and setDiagram (which fits the diagram), call
// render(false) and leave out drawFrame, then glFinish and read the pixels of
// (x, y, width, height), see render/PixelReadback.h.
//
// GL resources are created lazily at the first render, so a window may be
// built before its host's context can be made current.

#include <limits>
#include <memory>
#include <vector>

#include "render/Camera.h"
#include "render/DiagramPainter.h"
#include "render/PieceReorder.h"
#include "render/PointerEvent.h"
#include "render/ScenePart.h"
#include "render/SplitTree.h"

namespace lumetra {

class Diagram;
class DiagramElement;
class HoverOverlay;
class WindowHost;
class CanvasWindow;

// Mouse handling inside a window (picking, hover, camera moves).
class WindowMouseHandler {
 public:
  virtual void onMouse(CanvasWindow& window, const PointerEvent& event, int canvasHeight) = 0;
  virtual ~WindowMouseHandler() = default;
};

class CanvasWindow {
 public:
  // Throws Exception "Invalid canvas pointer for window" when canvas is null.
  CanvasWindow(WindowHost* canvas, int x, int y, int width, int height);
  // Releases the display list; the host's context must be current.
  ~CanvasWindow();
  CanvasWindow(const CanvasWindow&) = delete;
  CanvasWindow& operator=(const CanvasWindow&) = delete;

  WindowHost* canvas() const { return canvas_; }

  // --- viewport (canvas pixels, y from the bottom) ------------------------
  void setRect(int x, int y, int width, int height);
  PixelRect rect() const { return {x_, y_, width_, height_}; }
  int x() const { return x_; }
  int y() const { return y_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // --- content (both borrowed) ----------------------------------------------
  // Stores v and redraws uncached when it differs from the current painter.
  void setVisualizer(DiagramPainter* v);
  DiagramPainter* visualizer() const { return visualizer_; }
  // Stores d, fits it and redraws uncached.
  void setDiagram(Diagram* d);
  // Forgets the diagram without redrawing.
  void clearDiagram();
  // Stores both, fits the diagram and marks the list stale, without
  // redrawing: for a window whose host draws every window next.
  void setContent(Diagram* d, DiagramPainter* v);
  Diagram* diagram() const { return diagram_; }

  // --- camera -------------------------------------------------------------------
  float zoom() const { return camera_.zoom; }
  void setZoom(float zoom) { camera_.zoom = zoom; }  // stored unchanged, never clamped
  bool perspective() const { return camera_.perspective; }
  void setPerspective(bool on) { camera_.perspective = on; }
  bool stereo() const { return camera_.stereo; }
  void setStereo(bool on);
  // Zoom 1, no pan, no rotation.
  void resetCamera() { camera_.reset(); }
  // Resets the camera and zooms the diagram's box into the viewport with a
  // 5 % margin; nothing without a diagram.
  void zoomToFit();
  // Pans so that the diagram point p (diagram units) lies in the middle of
  // the window; zoom and both rotations stay. Does not redraw.
  void centreOn(Vec2 p);
  // centreOn the middle of the shape's box; false (and nothing changed) when
  // the shape has no box.
  bool centreOnShape(const DiagramElement* shape);
  // The camera itself, for mouse handling (pan, rotations).
  Camera& camera() { return camera_; }
  const Camera& camera() const { return camera_; }

  // eye in {-1, 0, +1}; the stereo settings are read at each call.
  Matrix4 projectionMatrix(int eye) const;
  Matrix4 viewMatrix(int eye) const;
  // Loads the plain view's matrices narrowed to a size x size pixel region
  // centred on (x, y) (window pixels, y up), for a pick pass.
  void loadPickMatrices(double x, double y, double size) const;

  // --- drawing (host's context current) --------------------------------------
  void render(bool useCache);
  // One picture drawn straight to the buffer, without recording it: for a
  // window drawn once (an exported image), where a display list would only
  // hold a copy of every vertex until the window goes. Leaves the window's
  // list stale.
  void renderOnce();
  void drawFrame(bool isActive);
  // Whether the display list holds the current scene.
  bool displayListValid() const { return listValid_; }
  // The parts of the recorded scene, and how many the last replay called.
  int scenePartCount() const { return static_cast<int>(parts_.size()); }
  int scenePartsReplayed() const { return partsReplayed_; }
  // Whether a replay leaves out the parts that cannot show (on by default);
  // off, every part is replayed (for comparison).
  void setPartCulling(bool on) { partCulling_ = on; }
  // Marks the display list stale so that the next render recompiles.
  void invalidateDisplayList() { listValid_ = false; }
  // The box of shape (on this window's diagram) moved: the recorded scene
  // is brought up to date for the next cached render. Only the parts
  // holding a piece that depends on the box are recorded again (and the
  // background, while it depends on it); where the painter cannot tell or
  // cannot draw single pieces, the whole scene is recorded at the next
  // render. Needs the host's context current.
  void shapeMoved(DiagramElement* shape);
  // The selected state of what change names flipped (the selection is the
  // frame's, so every window may show some of it): as shapeMoved, only the
  // parts holding a piece the painter draws differently now are recorded
  // again, none when this window's diagram shows nothing of it.
  void selectionChanged(const SelectionChange& change);
  // How many parts the last shapeMoved or selectionChanged recorded again
  // (the background counts as one); -1 when it left the whole scene to the
  // next render.
  int partsRecordedAgain() const { return partsRecordedAgain_; }
  // Only what the areas show changed (their parameters, painters, modes,
  // colours, order, alpha, or which of them are shown): the background,
  // which holds the area pass or its picture, is recorded again and the
  // recorded parts of the diagram are kept, so the next cached render shows
  // what a full recording would. Where the window holds no recording it can
  // keep (none yet, stereo, a painter that cannot draw its background
  // alone), the next render records everything. Needs the host's context
  // current. True when the background was recorded again.
  bool areasChanged();
  // How many times the window recorded its whole scene.
  int sceneRecordings() const { return sceneRecordings_; }
  // Level of detail: with this switch and the setting
  // "Visualizer.General.LevelOfDetail" on (both are by default), the scene
  // is recorded at the view's screen scale rounded up to a step (see
  // render/ScreenScale.h) and GLPainter reduces what is too small to see at
  // that scale. A cached render records again when the view's scale has
  // grown past the recorded step (nothing stays reduced that has become
  // large enough to see) or fallen below half of it (less to draw).
  // Off, everything is drawn in full (the switch: for one export).
  void setLevelOfDetail(bool on);
  bool levelOfDetail() const { return levelOfDetail_; }
  // The scale the current list was recorded at; GLPainter::kFullDetail when
  // nothing was reduced.
  float recordedDetailScale() const { return recordedScale_; }
  // Piece reordering (render/PieceReorder.h): on by default, a recorded
  // part draws its pieces' primitives grouped by kind where no pixel can
  // change for it. A replay under a view that brings such pieces' footprints
  // together records those parts again in the painter's order (they stay so
  // until the scene is recorded anew), or the whole scene when a part
  // cannot be recorded alone. Off, every part is recorded in order (for
  // comparison); switching marks the list stale.
  void setPieceReordering(bool on);
  bool pieceReordering() const { return pieceReordering_; }
  // How many recorded parts draw pieces out of the painter's order now.
  int reorderedParts() const;

  // --- hover box and mouse --------------------------------------------------------
  // Takes ownership; null removes the box. Does not redraw.
  void setHoverBox(std::unique_ptr<HoverOverlay> box);
  HoverOverlay* hoverBox() const { return hoverBox_.get(); }
  // The pointer left the window: removes the hover box and redraws if there
  // was one.
  void leave();
  // Not owned; null drops mouse events. A split hands the active window's
  // handler to the new window.
  void setMouseHandler(WindowMouseHandler* handler) { mouseHandler_ = handler; }
  WindowMouseHandler* mouseHandler() const { return mouseHandler_; }
  void onMouse(const PointerEvent& event, int canvasHeight);

 private:
  void drawScene();
  // The painter's overlay, then the hover box, in window pixels.
  void drawOverlays();
  void loadMatrices(int eye) const;
  // Records the scene into parts_, drawing it at the same time if execute;
  // false when no list could be made.
  bool recordScene(bool execute);
  void replayScene();
  // The detail scale for the loaded matrices: the most pixels a diagram
  // unit covers anywhere over the diagram, stepped; kFullDetail when level
  // of detail is off.
  float detailScaleNow();
  // The box the diagram's shapes lie in, found anew when the list is
  // recorded.
  void findSceneBox();
  friend class ScenePartRecorder;

  WindowHost* canvas_;
  int x_ = 0;
  int y_ = 0;
  int width_ = 0;
  int height_ = 0;
  DiagramPainter* visualizer_ = nullptr;
  Diagram* diagram_ = nullptr;
  std::unique_ptr<HoverOverlay> hoverBox_;
  WindowMouseHandler* mouseHandler_ = nullptr;
  Camera camera_;
  // One recorded part: its display list, its box and the painter's pieces
  // in it.
  struct RecordedPart {
    unsigned int list = 0;
    ScenePartBox box;
    bool empty = false;  // a bounded part in which nothing was drawn
    std::vector<ScenePiece> pieces;
    // The pieces it draws out of order (none: in the painter's order).
    std::vector<ReorderedPiece> reordered;
  };
  // Records part index again from its pieces (or the background); false
  // when the painter cannot.
  bool recordPartAgain(std::size_t index);
  // Whether the parts drawn out of order that may show keep their pieces
  // apart under the loaded matrices; parts that do not are recorded again
  // in order. False when the whole scene must be recorded again (in order).
  bool reorderedPartsHold();
  // Whether the recorded parts can be brought up to date one by one (a
  // valid list of a plain view with its diagram and painter); otherwise the
  // list is marked stale. Forgets the count of parts recorded again.
  bool keepsRecording();
  // The indices of the parts holding any of pieces, and of the background
  // when background, in order.
  std::vector<std::size_t> partsHolding(std::vector<ScenePiece> pieces, bool background) const;
  // Records these parts again at the recorded detail; false, with the list
  // stale, when one could not be (the next render records everything).
  bool recordPartsAgain(const std::vector<std::size_t>& indices);
  // Loads what a recording of the scene sees: the viewport, the plain
  // view's matrices and the text state.
  void loadRecordingState();
  // The parts that depend on the last moved shape, found once per shape
  // and recording.
  DiagramElement* movedShape_ = nullptr;
  std::vector<std::size_t> movedParts_;
  bool movedKnown_ = false;
  int partsRecordedAgain_ = -1;
  int sceneRecordings_ = 0;
  std::vector<RecordedPart> parts_;
  // List names made so far (parts_ uses the first parts_.size()).
  std::vector<unsigned int> listNames_;
  int partsReplayed_ = 0;
  // Whether the window recorded its scene before, and whether that
  // recording drew text through the font's own drawing.
  bool recordedOnce_ = false;
  bool fontTextLastTime_ = false;
  bool partCulling_ = true;
  bool levelOfDetail_ = true;
  float recordedScale_ = std::numeric_limits<float>::infinity();
  // The scene's lists are recorded and replayed on a plain line base.
  bool plainLineBase_ = false;
  bool sceneBoxFound_ = false;
  Vec3 sceneLow_, sceneHigh_;
  // What the painter prepared for the list (textures it refers to).
  std::unique_ptr<PreparedScene> prepared_;
  bool listValid_ = false;
  bool pieceReordering_ = true;
  // Whether the next recording, and the one being made, reorder pieces.
  bool reorderNext_ = true;
  bool reorderNow_ = false;
  // The view's largest screen scale at the recording (pixels per unit),
  // which sizes the parts.
  float partScale_ = std::numeric_limits<float>::infinity();
  // The view (matrix and size) the reordered parts were last found to hold
  // under.
  float checkedMatrix_[16] = {};
  int checkedWidth_ = 0, checkedHeight_ = 0;
  bool checkedValid_ = false;
};

}  // namespace lumetra
