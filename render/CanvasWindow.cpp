#include "render/CanvasWindow.h"

#include <GL/gl.h>

#include "model/Diagram.h"
#include "render/CanvasOwner.h"
#include "render/DiagramPainter.h"
#include "render/Exceptions.h"
#include "render/GLPainter.h"
#include "render/GLState.h"
#include "render/HoverOverlay.h"

namespace lumetra {

namespace {

// Closes the display list being compiled on every path out of the scope.
class ListCompileScope {
 public:
  explicit ListCompileScope(GLuint list) { glNewList(list, GL_COMPILE_AND_EXECUTE); }
  ~ListCompileScope() { glEndList(); }
  ListCompileScope(const ListCompileScope&) = delete;
  ListCompileScope& operator=(const ListCompileScope&) = delete;
};

// Window pixels, y up, identity model-view.
void loadPixelProjection(int width, int height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

}  // namespace

CanvasWindow::CanvasWindow(WindowHost* canvas, int x, int y, int width, int height)
    : canvas_(canvas), x_(x), y_(y), width_(width), height_(height) {
  if (canvas == nullptr) throw Exception("Invalid canvas pointer for window");
}

CanvasWindow::~CanvasWindow() {
  if (displayList_ != 0) glDeleteLists(displayList_, 1);
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

Matrix4 CanvasWindow::projectionMatrix(int eye) const {
  return camera_.projectionMatrix(eye, width_, height_, StereoSettings::fromSettings());
}

Matrix4 CanvasWindow::viewMatrix(int eye) const {
  return camera_.viewMatrix(eye, width_, height_, StereoSettings::fromSettings());
}

void CanvasWindow::loadMatrices(int eye) const {
  const StereoSettings stereoSettings = StereoSettings::fromSettings();
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(camera_.projectionMatrix(eye, width_, height_, stereoSettings).data());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(camera_.viewMatrix(eye, width_, height_, stereoSettings).data());
}

void CanvasWindow::drawScene() { visualizer_->drawDiagram(diagram_); }

void CanvasWindow::render(bool useCache) {
  glViewport(x_, y_, width_, height_);
  glScissor(x_, y_, width_, height_);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

  const bool hasContent = diagram_ != nullptr && visualizer_ != nullptr;
  if (!camera_.stereo) {
    loadMatrices(0);
    if (hasContent) {
      if (displayList_ == 0) displayList_ = glGenLists(1);
      if (useCache && listValid_ && displayList_ != 0) {
        glCallList(displayList_);
      } else if (displayList_ != 0) {
        listValid_ = false;
        GLPainter::prepareText();
        visualizer_->prepare(diagram_, prepared_);
        {
          ListCompileScope compile(displayList_);
          drawScene();
        }
        listValid_ = true;
      } else {
        drawScene();  // no list could be made: draw directly
      }
    }
  } else if (hasContent) {
    // Red/cyan anaglyph: the eye shifted right goes into green and blue, the
    // one shifted left into red. The list is neither used nor rebuilt, so an
    // uncached render here leaves it stale.
    if (!useCache) listValid_ = false;
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

  loadPixelProjection(width_, height_);
  if (hoverBox_) hoverBox_->draw(width_, height_);
}

void CanvasWindow::drawFrame(bool isActive) {
  glViewport(x_, y_, width_, height_);
  glScissor(x_, y_, width_, height_);
  loadPixelProjection(width_, height_);
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

void CanvasWindow::onMouse(wxMouseEvent& event, int canvasHeight) {
  if (mouseHandler_ != nullptr) mouseHandler_->onMouse(*this, event, canvasHeight);
}

}  // namespace lumetra
