#include "render/CanvasWindow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>

#include "model/Diagram.h"
#include "render/CanvasOwner.h"
#include "render/DiagramPainter.h"
#include "render/Exceptions.h"
#include "render/GLPainter.h"
#include "render/GLState.h"
#include "render/HoverOverlay.h"
#include "render/PieceReorder.h"
#include "render/ScreenScale.h"
#include "render/ViewSetup.h"
#include "settings/SettingsStore.h"

namespace lumetra {

// Records the painter's scene as parts, each in a display list compiled
// with or without drawing it; the list being compiled is closed on every
// path out.
// A bounded part ends at the first cut point after its box has grown past
// kPartSide diagram units in x or y (or, where that is more, half the
// window's shorter side at the view's largest screen scale), or after
// kMaxCutPoints cut points. Parts are what a replay leaves out when they
// cannot show and what a click or a moved box records again; zoomed out,
// larger parts let more pieces be drawn grouped by kind
// (render/PieceReorder.h).
class ScenePartRecorder : public SceneParts {
 public:
  static constexpr float kPartSide = 512.0f;
  static constexpr int kMaxCutPoints = 256;

  ScenePartRecorder(CanvasWindow& window, bool execute)
      : window_(window),
        mode_(execute ? GL_COMPILE_AND_EXECUTE : GL_COMPILE),
        side_(std::max(kPartSide, 0.5f * static_cast<float>(std::min(window.width_, window.height_)) /
                                      window.partScale_)) {
    readClipMatrix(clip_);
    window_.parts_.clear();
    open(false);
  }
  ~ScenePartRecorder() override { close(); }
  ScenePartRecorder(const ScenePartRecorder&) = delete;
  ScenePartRecorder& operator=(const ScenePartRecorder&) = delete;

  // False once a list could not be made (the rest went to the screen).
  bool ok() const { return ok_; }

  void endBackground() override {
    if (!ok_ || bounded_) return;
    close();
    open(true);
  }

  void pieceDrawn(const ScenePiece& piece) override {
    if (!ok_ || !open_ || !bounded_) return;
    window_.parts_.back().pieces.push_back(piece);
    PieceReorder::pieceEnd();
  }

  void mayCut() override {
    if (!ok_ || !bounded_) return;
    ++cutPoints_;
    Vec3 low, high;
    const bool large =
        GLPainter::trackedBounds(low, high) && (high.x - low.x > side_ || high.y - low.y > side_);
    if (!large && cutPoints_ < kMaxCutPoints) return;
    // The next part may be replayed without this one.
    GLStateBatch::settle();
    close();
    open(true);
  }

 private:
  void open(bool bounded) {
    const std::size_t index = window_.parts_.size();
    if (index == window_.listNames_.size()) {
      const GLuint name = glGenLists(1);
      if (name == 0) {
        ok_ = false;
        return;
      }
      window_.listNames_.push_back(name);
    }
    CanvasWindow::RecordedPart part;
    part.list = window_.listNames_[index];
    part.box.bounded = bounded;
    window_.parts_.push_back(part);
    glNewList(part.list, mode_);
    open_ = true;
    bounded_ = bounded;
    cutPoints_ = 0;
    if (bounded) GLPainter::beginBounds();
    if (bounded && window_.reorderNow_) PieceReorder::beginPart(clip_, window_.width_, window_.height_);
  }

  void close() {
    if (!open_) return;
    if (PieceReorder::holding()) window_.parts_.back().reordered = PieceReorder::endPart();
    glEndList();
    open_ = false;
    if (!bounded_) return;
    CanvasWindow::RecordedPart& part = window_.parts_.back();
    Vec3 low, high;
    if (GLPainter::endBounds(low, high)) {
      part.box.low = low;
      part.box.high = high;
    } else {
      part.empty = true;
    }
  }

  CanvasWindow& window_;
  GLenum mode_;
  float side_;
  float clip_[16];
  bool ok_ = true;
  bool open_ = false;
  bool bounded_ = false;
  int cutPoints_ = 0;
};

namespace {

// The scene drawn straight to the buffer, handed to the GL in slices: a
// software rasterizer keeps every command of a frame (with its vertices)
// until the frame is flushed, so a large diagram drawn in one go holds all
// of it at once. Every few dozen shapes the slice is rasterized to the end
// before the painter goes on, so that the next slice reuses that memory
// while it is still in the caches. Letting slices queue up instead (a flush
// without waiting) took more processor time and memory on Mesa llvmpipe:
// 1,000 classes at 1600 x 1200, 0.35 s and 178 MB against 0.33 s and 146 MB.
class FlushingParts : public SceneParts {
 public:
  static constexpr int kShapesPerFlush = 64;

  void endBackground() override { glFlush(); }
  void mayCut() override {
    if (++shapes_ < kShapesPerFlush) return;
    shapes_ = 0;
    GLStateBatch::settle();
    glFinish();
  }

 private:
  int shapes_ = 0;
};

// Pixels around the viewport a part's box may lie in and still be replayed:
// wide lines and smoothing reach past the vertices.
constexpr float kPartMargin = 16.0f;

// Sets the painter's detail scale for a recording or a direct drawing and
// puts back full detail afterwards.
class DetailScaleScope {
 public:
  explicit DetailScaleScope(float scale) { GLPainter::setDetailScale(scale); }
  ~DetailScaleScope() { GLPainter::setDetailScale(GLPainter::kFullDetail); }
  DetailScaleScope(const DetailScaleScope&) = delete;
  DetailScaleScope& operator=(const DetailScaleScope&) = delete;
};

// Line smoothing off around a recording or a replay of a scene whose lines
// are mostly plain at its detail scale (see GLPainter::setPlainLineBase):
// the lists are recorded and called under it, so every primitive draws
// under the state it would without it.
class PlainLineBaseScope {
 public:
  explicit PlainLineBaseScope(bool on) : on_(on) {
    if (!on_) return;
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LINE_SMOOTH);
    GLPainter::setPlainLineBase(true);
  }
  ~PlainLineBaseScope() {
    if (!on_) return;
    GLPainter::setPlainLineBase(false);
    glPopAttrib();
  }
  PlainLineBaseScope(const PlainLineBaseScope&) = delete;
  PlainLineBaseScope& operator=(const PlainLineBaseScope&) = delete;

 private:
  bool on_;
};

}  // namespace

CanvasWindow::CanvasWindow(WindowHost* canvas, int x, int y, int width, int height)
    : canvas_(canvas), x_(x), y_(y), width_(width), height_(height) {
  if (canvas == nullptr) throw Exception("Invalid canvas pointer for window");
}

CanvasWindow::~CanvasWindow() {
  for (unsigned int name : listNames_) glDeleteLists(name, 1);
  prepared_.reset();
}

void CanvasWindow::setRect(int x, int y, int width, int height) {
  x_ = x;
  y_ = y;
  width_ = width;
  height_ = height;
}

void CanvasWindow::setVisualizer(DiagramPainter* v) {
  if (v == visualizer_) return;
  visualizer_ = v;
  listValid_ = false;
  canvas_->refreshWindow(this, false);
}

void CanvasWindow::setDiagram(Diagram* d) {
  diagram_ = d;
  listValid_ = false;
  zoomToFit();
  canvas_->refreshWindow(this, false);
}

void CanvasWindow::setContent(Diagram* d, DiagramPainter* v) {
  diagram_ = d;
  visualizer_ = v;
  listValid_ = false;
  zoomToFit();
}

void CanvasWindow::clearDiagram() {
  diagram_ = nullptr;
  listValid_ = false;
}

void CanvasWindow::setStereo(bool on) { camera_.stereo = on; }

void CanvasWindow::zoomToFit() {
  if (diagram_ == nullptr) return;
  VisualElementLayout* layout = diagram_->getCurrentLayout();
  if (layout == nullptr || layout->getLowerLeft() == nullptr || layout->getUpperRight() == nullptr) {
    // No box to fit: show the diagram at its own scale around the origin.
    camera_.reset();
    return;
  }
  camera_.zoomToFit(*layout->getLowerLeft(), *layout->getUpperRight(), width_, height_);
}

void CanvasWindow::centreOn(Vec2 p) {
  // The view matrix turns and tilts the diagram before it shifts it by the
  // pan, so the pan that centres p is where the turned and tilted p lands.
  Camera unpanned = camera_;
  unpanned.pan = Vec2();
  const Vec3 q = unpanned.viewMatrix(0, width_, height_, StereoSettings::fromSettings()).transformPoint({p.x, p.y, 0.0f});
  camera_.pan = Vec2(q.x, q.y);
}

bool CanvasWindow::centreOnShape(const DiagramElement* shape) {
  const VisualElementLayout* layout = shape ? shape->getCurrentLayout() : nullptr;
  if (layout == nullptr || layout->getLowerLeft() == nullptr || layout->getUpperRight() == nullptr) return false;
  centreOn((*layout->getLowerLeft() + *layout->getUpperRight()) * 0.5f);
  return true;
}

namespace {

bool pieceBefore(const ScenePiece& a, const ScenePiece& b) {
  return a.shape != b.shape ? std::less<DiagramElement*>()(a.shape, b.shape) : a.glyphs < b.glyphs;
}

}  // namespace

std::vector<std::size_t> CanvasWindow::partsHolding(std::vector<ScenePiece> pieces, bool background) const {
  std::sort(pieces.begin(), pieces.end(), pieceBefore);
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    const RecordedPart& part = parts_[i];
    const bool holds = part.box.bounded ? std::any_of(part.pieces.begin(), part.pieces.end(),
                                                      [&pieces](const ScenePiece& piece) {
                                                        return std::binary_search(pieces.begin(), pieces.end(), piece,
                                                                                  pieceBefore);
                                                      })
                                        : background;
    if (holds) found.push_back(i);
  }
  return found;
}

bool CanvasWindow::recordPartsAgain(const std::vector<std::size_t>& indices) {
  partsRecordedAgain_ = -1;
  loadRecordingState();
  const unsigned long refused = GLPainter::fontDrawingsRefused();
  // At the detail of the parts kept, so the picture stays one recording's.
  DetailScaleScope detail(recordedScale_);
  PlainLineBaseScope base(plainLineBase_);
  for (std::size_t index : indices) {
    if (!recordPartAgain(index)) {
      listValid_ = false;
      return false;
    }
  }
  // Text that only the font's own drawing can show was left out of a list
  // compiled without drawing: the next render records everything, drawing.
  if (GLPainter::fontDrawingsRefused() != refused) {
    fontTextLastTime_ = true;
    listValid_ = false;
    return false;
  }
  partsRecordedAgain_ = static_cast<int>(indices.size());
  return true;
}

bool CanvasWindow::keepsRecording() {
  partsRecordedAgain_ = -1;
  if (listValid_ && !camera_.stereo && diagram_ != nullptr && visualizer_ != nullptr) return true;
  listValid_ = false;
  return false;
}

void CanvasWindow::shapeMoved(DiagramElement* shape) {
  if (!keepsRecording()) return;
  if (!movedKnown_ || movedShape_ != shape) {
    // The parts holding a piece of a dependent shape (its own drawing or
    // its glyphs), the background first when it depends too.
    movedKnown_ = false;
    std::vector<DiagramElement*> shapes;
    bool background = true;
    if (!visualizer_->shapesDependingOn(diagram_, shape, shapes, background)) {
      listValid_ = false;
      return;
    }
    std::vector<ScenePiece> pieces;
    pieces.reserve(2 * shapes.size());
    for (DiagramElement* dependent : shapes) {
      pieces.push_back({dependent, false});
      pieces.push_back({dependent, true});
    }
    movedParts_ = partsHolding(std::move(pieces), background);
    movedShape_ = shape;
    movedKnown_ = true;
  }
  recordPartsAgain(movedParts_);
}

void CanvasWindow::selectionChanged(const SelectionChange& change) {
  if (!keepsRecording()) return;
  std::vector<ScenePiece> pieces;
  bool background = true;
  if (!visualizer_->piecesShowingSelection(diagram_, change, pieces, background)) {
    listValid_ = false;
    return;
  }
  recordPartsAgain(partsHolding(std::move(pieces), background));
}

void CanvasWindow::loadRecordingState() {
  glViewport(x_, y_, width_, height_);
  glScissor(x_, y_, width_, height_);
  loadMatrices(0);
  GLPainter::prepareText();
}

bool CanvasWindow::areasChanged() {
  // The background is the first part, the one every replay calls.
  if (!listValid_ || camera_.stereo || diagram_ == nullptr || visualizer_ == nullptr || parts_.empty() ||
      parts_.front().box.bounded) {
    listValid_ = false;
    return false;
  }
  loadRecordingState();
  DetailScaleScope detail(recordedScale_);
  PlainLineBaseScope base(plainLineBase_);
  if (!recordPartAgain(0)) {
    listValid_ = false;
    return false;
  }
  return true;
}

bool CanvasWindow::recordPartAgain(std::size_t index) {
  RecordedPart& part = parts_[index];
  // Recorded again in the painter's order.
  part.reordered.clear();
  // A bounded part's box is what the pieces drew this time.
  struct ListScope {
    RecordedPart& part;
    ListScope(RecordedPart& p, GLenum mode) : part(p) {
      glNewList(part.list, mode);
      if (part.box.bounded) GLPainter::beginBounds();
    }
    ~ListScope() {
      glEndList();
      if (!part.box.bounded) return;
      Vec3 low, high;
      part.empty = !GLPainter::endBounds(low, high);
      if (!part.empty) {
        part.box.low = low;
        part.box.high = high;
      }
    }
    ListScope(const ListScope&) = delete;
    ListScope& operator=(const ListScope&) = delete;
  };
  // Text that only the font's own drawing shows needs the list drawn while
  // it is compiled, as the last recording was; what that draws is cleared
  // by the render that follows.
  const GLenum mode = fontTextLastTime_ ? GL_COMPILE_AND_EXECUTE : GL_COMPILE;
  if (!part.box.bounded) {
    // The background's picture is made outside any list, as before a full
    // recording.
    visualizer_->prepare(diagram_, prepared_);
    ListScope scope(part, mode);
    return visualizer_->drawBackground(diagram_);
  }
  ListScope scope(part, mode);
  return visualizer_->drawPieces(diagram_, part.pieces);
}

void WindowHost::shapeMoved(CanvasWindow* window, DiagramElement* shape) {
  if (window == nullptr) return;
  window->shapeMoved(shape);
  refreshWindow(window, true);
}

void WindowHost::selectionChanged(CanvasWindow* window, const SelectionChange& change) {
  if (window == nullptr) return;
  window->selectionChanged(change);
  refreshWindow(window, true);
}

Matrix4 CanvasWindow::projectionMatrix(int eye) const {
  return camera_.projectionMatrix(eye, width_, height_, StereoSettings::fromSettings());
}

Matrix4 CanvasWindow::viewMatrix(int eye) const {
  return camera_.viewMatrix(eye, width_, height_, StereoSettings::fromSettings());
}

void CanvasWindow::loadPickMatrices(double x, double y, double size) const {
  GLint viewport[4] = {0, 0, width_, height_};
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPickMatrix(x, y, size, size, viewport);
  glMultMatrixf(projectionMatrix(0).data());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(viewMatrix(0).data());
}

void CanvasWindow::loadMatrices(int eye) const {
  const StereoSettings stereoSettings = StereoSettings::fromSettings();
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(camera_.projectionMatrix(eye, width_, height_, stereoSettings).data());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(camera_.viewMatrix(eye, width_, height_, stereoSettings).data());
}

void CanvasWindow::setLevelOfDetail(bool on) {
  if (on == levelOfDetail_) return;
  levelOfDetail_ = on;
  listValid_ = false;
}

void CanvasWindow::findSceneBox() {
  sceneBoxFound_ = false;
  if (diagram_ == nullptr) return;
  float low[2] = {0.0f, 0.0f}, high[2] = {0.0f, 0.0f};
  auto widen = [&](const VisualElementLayout* layout) {
    if (layout == nullptr || layout->getLowerLeft() == nullptr || layout->getUpperRight() == nullptr) return;
    const Vec2 a = *layout->getLowerLeft(), b = *layout->getUpperRight();
    for (const Vec2& p : {a, b}) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    }
    for (const Vec2& p : {a, b}) {
      const float xy[2] = {p.x, p.y};
      for (int i = 0; i < 2; ++i) {
        low[i] = sceneBoxFound_ ? std::min(low[i], xy[i]) : xy[i];
        high[i] = sceneBoxFound_ ? std::max(high[i], xy[i]) : xy[i];
      }
      sceneBoxFound_ = true;
    }
  };
  widen(diagram_->getCurrentLayout());
  for (DiagramElement* element : diagram_->getElements()) widen(element->getCurrentLayout());
  // Text and flat shapes lie in the diagram plane. The 3D glyphs rise from
  // it towards the eye, and in perspective their tops show a little larger
  // (5 % in a fitted 1280 x 1024 view of 1,000 classes); they are judged at
  // the plane, which the step the scale is rounded up by covers.
  sceneLow_ = Vec3(low[0], low[1], 0.0f);
  sceneHigh_ = Vec3(high[0], high[1], 0.0f);
}

float CanvasWindow::detailScaleNow() {
  if (!levelOfDetail_ || !settings().getBool("Visualizer.General.LevelOfDetail") || !sceneBoxFound_)
    return GLPainter::kFullDetail;
  float m[16];
  readClipMatrix(m);
  const float scale = detailScaleStep(largestScreenScale(m, width_, height_, sceneLow_, sceneHigh_));
  return scale < GLPainter::kFullDetail ? scale : GLPainter::kFullDetail;
}

void CanvasWindow::drawScene() {
  DetailScaleScope detail(detailScaleNow());
  visualizer_->drawDiagram(diagram_);
}

bool CanvasWindow::recordScene(bool execute) {
  movedKnown_ = false;
  ++sceneRecordings_;
  findSceneBox();
  recordedScale_ = detailScaleNow();
  DetailScaleScope detail(recordedScale_);
  plainLineBase_ = visualizer_->linesMostlyPlain(diagram_);
  PlainLineBaseScope base(plainLineBase_);
  // Parts are sized by the view, whatever the detail: with and without
  // level of detail a view is cut into the same parts.
  float m[16];
  readClipMatrix(m);
  partScale_ = sceneBoxFound_ ? largestScreenScale(m, width_, height_, sceneLow_, sceneHigh_)
                              : std::numeric_limits<float>::infinity();
  if (!(partScale_ > 0.0f)) partScale_ = std::numeric_limits<float>::infinity();
  reorderNow_ = pieceReordering_ && reorderNext_;
  reorderNext_ = true;
  // The pieces' footprints were judged under this view.
  readClipMatrix(checkedMatrix_);
  checkedWidth_ = width_;
  checkedHeight_ = height_;
  checkedValid_ = true;
  ScenePartRecorder recorder(*this, execute);
  visualizer_->drawDiagramInParts(diagram_, recorder);
  return recorder.ok();
}

bool CanvasWindow::reorderedPartsHold() {
  float m[16];
  readClipMatrix(m);
  if (checkedValid_ && checkedWidth_ == width_ && checkedHeight_ == height_ && std::equal(m, m + 16, checkedMatrix_))
    return true;
  std::vector<std::size_t> failing;
  for (std::size_t i = 0; i < parts_.size(); ++i) {
    const RecordedPart& part = parts_[i];
    if (part.reordered.empty() || part.empty) continue;
    if (partCulling_ && !partMayShow(part.box, m, width_, height_, kPartMargin, kPartMargin)) continue;
    if (!footprintsApart(part.reordered, m, width_, height_)) failing.push_back(i);
  }
  std::copy(m, m + 16, checkedMatrix_);
  checkedWidth_ = width_;
  checkedHeight_ = height_;
  checkedValid_ = true;
  if (failing.empty()) return true;
  // Those parts are recorded again in order, and stay so until the next
  // recording of the whole scene. Parts with text only the font's own
  // drawing shows are drawn while recorded: the window is cleared again
  // for the replay.
  if (recordPartsAgain(failing)) {
    if (fontTextLastTime_) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return true;
  }
  reorderNext_ = false;
  return false;
}

int CanvasWindow::reorderedParts() const {
  return static_cast<int>(
      std::count_if(parts_.begin(), parts_.end(), [](const RecordedPart& part) { return !part.reordered.empty(); }));
}

void CanvasWindow::setPieceReordering(bool on) {
  if (on == pieceReordering_) return;
  pieceReordering_ = on;
  listValid_ = false;
}

void CanvasWindow::replayScene() {
  float m[16];
  readClipMatrix(m);
  partsReplayed_ = 0;
  PlainLineBaseScope base(plainLineBase_);
  for (const RecordedPart& part : parts_) {
    if (part.empty) continue;
    if (partCulling_ && !partMayShow(part.box, m, width_, height_, kPartMargin, kPartMargin)) continue;
    glCallList(part.list);
    ++partsReplayed_;
  }
}

void CanvasWindow::render(bool useCache) {
  glViewport(x_, y_, width_, height_);
  glScissor(x_, y_, width_, height_);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

  const bool hasContent = diagram_ != nullptr && visualizer_ != nullptr;
  if (!camera_.stereo) {
    loadMatrices(0);
    if (hasContent) {
      if (useCache && listValid_) {
        // Zoomed in past the recorded detail, or far out of it: record anew.
        const float scale = detailScaleNow();
        if (scale > recordedScale_ || scale < recordedScale_ * 0.5f) listValid_ = false;
      }
      // Parts drawn out of order whose pieces this view brings together.
      if (useCache && listValid_ && !reorderedPartsHold()) listValid_ = false;
      if (useCache && listValid_) {
        replayScene();
      } else {
        listValid_ = false;
        GLPainter::prepareText();
        visualizer_->prepare(diagram_, prepared_);
        // The parts are compiled without drawing and then replayed like
        // any others: drawing them while compiling would draw every part,
        // in view or not, and unmerged. Text drawn through the font's own
        // drawing makes glyph textures as it goes, which works only in a
        // list drawn while compiled: a window records that way the first
        // time and whenever its last recording met such text, and records
        // again that way when such text turns up unannounced.
        bool execute = !recordedOnce_ || fontTextLastTime_;
        const unsigned long drawings = GLPainter::fontDrawings();
        const unsigned long refused = GLPainter::fontDrawingsRefused();
        listValid_ = recordScene(execute);
        if (listValid_ && !execute && GLPainter::fontDrawingsRefused() != refused) {
          visualizer_->prepare(diagram_, prepared_);
          execute = true;
          listValid_ = recordScene(true);
        }
        recordedOnce_ = true;
        fontTextLastTime_ = GLPainter::fontDrawings() != drawings || GLPainter::fontDrawingsRefused() != refused;
        if (listValid_ && !execute) replayScene();
        if (!listValid_) {
          // No list could be made: the scene is drawn directly.
          glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
          drawScene();
        }
      }
    }
  } else if (hasContent) {
    // Red/cyan anaglyph: the eye shifted right goes into green and blue, the
    // one shifted left into red. The list is neither used nor rebuilt, so an
    // uncached render here leaves it stale.
    if (!useCache) listValid_ = false;
    findSceneBox();
    {
      AttribGuard colorMask(GL_COLOR_BUFFER_BIT);
      loadMatrices(-1);
      glColorMask(GL_FALSE, GL_TRUE, GL_TRUE, GL_FALSE);
      glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
      drawScene();
      loadMatrices(+1);
      glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_FALSE);
      glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
      drawScene();
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  }

  loadPixelMatrices(width_, height_);
  drawOverlays();
}

void CanvasWindow::drawOverlays() {
  if (diagram_ != nullptr && visualizer_ != nullptr) visualizer_->drawOverlay(diagram_, width_, height_);
  if (hoverBox_) hoverBox_->draw(width_, height_);
}

void CanvasWindow::renderOnce() {
  listValid_ = false;
  if (camera_.stereo || diagram_ == nullptr || visualizer_ == nullptr) {
    render(false);
    return;
  }
  glViewport(x_, y_, width_, height_);
  glScissor(x_, y_, width_, height_);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  loadMatrices(0);
  GLPainter::prepareText();
  visualizer_->prepare(diagram_, prepared_);
  findSceneBox();
  DetailScaleScope detail(detailScaleNow());
  FlushingParts slices;
  visualizer_->drawDiagramInParts(diagram_, slices);
  loadPixelMatrices(width_, height_);
  drawOverlays();
}

void CanvasWindow::drawFrame(bool isActive) {
  glViewport(x_, y_, width_, height_);
  glScissor(x_, y_, width_, height_);
  loadPixelMatrices(width_, height_);
  const float t = isActive ? 3.0f : 1.0f;
  const Color color(isActive ? 0x88ff0000u : 0x88000000u);
  const float w = static_cast<float>(width_);
  const float h = static_cast<float>(height_);
  GLPainter painter;
  painter.filledRect({0.0f, 0.0f}, {w, t}, color);
  painter.filledRect({0.0f, h - t}, {w, h}, color);
  painter.filledRect({0.0f, t}, {t, h - t}, color);
  painter.filledRect({w - t, t}, {w, h - t}, color);
}

void CanvasWindow::setHoverBox(std::unique_ptr<HoverOverlay> box) { hoverBox_ = std::move(box); }

void CanvasWindow::leave() {
  if (!hoverBox_) return;
  hoverBox_.reset();
  canvas_->refreshWindow(this, false);
}

void CanvasWindow::onMouse(const PointerEvent& event, int canvasHeight) {
  if (mouseHandler_ != nullptr) mouseHandler_->onMouse(*this, event, canvasHeight);
}

}  // namespace lumetra
