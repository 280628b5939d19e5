#include "tests/support/PixelCanvas.h"

#include <GL/gl.h>

#include <vector>

#include "tests/support/GLHarness.h"

namespace lumetra::test {

PixelCanvas::PixelCanvas(int width, int height) : window_(width, height, GLTestWindow::State::Fresh) {
  if (ok()) resetView();
}

void PixelCanvas::resetView() {
  glViewport(0, 0, width(), height());
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width(), 0.0, height(), -1000.0, 1000.0);
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
  const std::vector<unsigned char> p = readRGBA(x, y, 1, 1);
  return {p[0], p[1], p[2]};
}

int PixelCanvas::count(int x0, int y0, int x1, int y1, bool (*match)(const Pixel&)) const {
  const int w = x1 - x0 + 1;
  const int h = y1 - y0 + 1;
  if (w <= 0 || h <= 0) return 0;
  const std::vector<unsigned char> rgba = readRGBA(x0, y0, w, h);
  int n = 0;
  for (std::size_t i = 0; i < rgba.size(); i += 4)
    if (match(Pixel{rgba[i], rgba[i + 1], rgba[i + 2]})) ++n;
  return n;
}

}  // namespace lumetra::test
