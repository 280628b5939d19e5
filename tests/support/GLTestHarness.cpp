#include "tests/support/GLTestHarness.h"

#include <GL/gl.h>
#include <wx/app.h>

#include "render/Canvas.h"
#include "render/GLPainter.h"
#include "render/PixelFormat.h"
#include "render/PixelReadback.h"
#include "tests/platform/WaitFor.h"

namespace lumetra {

GLTestWindow::GLTestWindow(int width, int height, State state) : GLTestWindow(width, height, false, state) {}

std::unique_ptr<GLTestWindow> GLTestWindow::withCanvas(int width, int height) {
  return std::unique_ptr<GLTestWindow>(new GLTestWindow(width, height, true, State::Fixed));
}

GLTestWindow::GLTestWindow(int width, int height, bool programCanvas, State state)
    : width_(width), height_(height) {
  frame_ = new wxFrame(nullptr, wxID_ANY, "gl test");
  frame_->SetClientSize(width, height);
  if (programCanvas) {
    programCanvas_ = new Canvas(frame_, wxID_ANY);
    canvas_ = programCanvas_;
  } else {
    canvas_ = new wxGLCanvas(frame_, chooseCanvasAttributes(), wxID_ANY, wxDefaultPosition, wxSize(width, height));
  }
  canvas_->SetSize(0, 0, width, height);
  // Drawn on only once the canvas is on screen at its final size, so that
  // its first exposure does not come in the middle of a test.
  const bool shown = test::showAndWaitForPaint(frame_, canvas_);
  const wxSize client = canvas_->GetClientSize();
  if (programCanvas_ != nullptr) {
    ok_ = shown && programCanvas_->makeCurrent() && client.GetWidth() == width && client.GetHeight() == height;
    programCanvas_->layout();
  } else {
    context_ = std::make_unique<wxGLContext>(canvas_);
    ok_ = shown && context_->IsOK() && canvas_->SetCurrent(*context_) && client.GetWidth() == width &&
          client.GetHeight() == height;
    if (ok_ && state == State::Fixed) applyFixedGLState();
  }
  if (ok_) pixelProjection();
}

GLTestWindow::~GLTestWindow() {
  makeCurrent();
  // Font textures belong to this context: release the fonts with it.
  FontRegistry::instance().clear();
  if (programCanvas_ != nullptr) {
    programCanvas_->Destroy();  // releases its windows' lists in its context
  }
  context_.reset();
  frame_->Destroy();
  wxTheApp->Yield(true);
}

Canvas* GLTestWindow::canvas() const { return programCanvas_; }

void GLTestWindow::makeCurrent() {
  if (programCanvas_ != nullptr) {
    programCanvas_->makeCurrent();
  } else if (context_) {
    canvas_->SetCurrent(*context_);
  }
}

void GLTestWindow::pixelProjection() {
  glViewport(0, 0, width_, height_);
  glScissor(0, 0, width_, height_);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width_, 0.0, height_, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void GLTestWindow::clear() {
  glScissor(0, 0, width_, height_);
  glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

std::vector<std::uint8_t> GLTestWindow::pixels() const { return readBackBufferRGBA(0, 0, width_, height_); }

Rgba GLTestWindow::pixel(int x, int y) const {
  const std::vector<std::uint8_t> p = readBackBufferRGBA(x, y, 1, 1);
  return {p[0], p[1], p[2], p[3]};
}

bool GLTestWindow::darkBox(int threshold, int& minX, int& minY, int& maxX, int& maxY) const {
  const std::vector<std::uint8_t> p = pixels();
  bool any = false;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const std::size_t i =
          (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
      if (p[i] + p[i + 1] + p[i + 2] >= threshold) continue;
      if (!any) {
        minX = maxX = x;
        minY = maxY = y;
        any = true;
      }
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
  }
  return any;
}

}  // namespace lumetra
