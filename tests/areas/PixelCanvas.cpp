#include "tests/areas/PixelCanvas.h"

#include <wx/app.h>

#include <GL/gl.h>

#include <vector>

#include "render/PixelFormat.h"
#include "tests/platform/WaitFor.h"

namespace lumetra::test {

PixelCanvas::PixelCanvas(int width, int height) : width_(width), height_(height) {
  frame_ = new wxFrame(nullptr, wxID_ANY, "pixels", wxDefaultPosition, wxDefaultSize);
  canvas_ = new wxGLCanvas(frame_, chooseCanvasAttributes(), wxID_ANY, wxDefaultPosition, wxSize(width, height));
  frame_->SetClientSize(width, height);
  const bool shown = showAndWaitForPaint(frame_, canvas_);
  context_ = std::make_unique<wxGLContext>(canvas_);
  ok_ = shown && context_->IsOK() && canvas_->SetCurrent(*context_);
  if (ok_) resetView();
}

PixelCanvas::~PixelCanvas() {
  context_.reset();
  frame_->Destroy();
  wxTheApp->Yield(true);
}

void PixelCanvas::resetView() {
  glViewport(0, 0, width_, height_);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width_, 0.0, height_, -1000.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDrawBuffer(GL_BACK);
  glReadBuffer(GL_BACK);
}

void PixelCanvas::clear(float r, float g, float b) {
  glClearColor(r, g, b, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

Pixel PixelCanvas::at(int x, int y) const {
  unsigned char rgba[4] = {0, 0, 0, 0};
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}

int PixelCanvas::count(int x0, int y0, int x1, int y1, bool (*match)(const Pixel&)) const {
  const int w = x1 - x0 + 1;
  const int h = y1 - y0 + 1;
  if (w <= 0 || h <= 0) return 0;
  std::vector<unsigned char> rgba(static_cast<std::size_t>(w) * h * 4);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x0, y0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  int n = 0;
  for (std::size_t i = 0; i < rgba.size(); i += 4)
    if (match(Pixel{rgba[i], rgba[i + 1], rgba[i + 2]})) ++n;
  return n;
}

}  // namespace lumetra::test
