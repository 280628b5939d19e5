#include "tests/diagram/GLTestSupport.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/Canvas.h"

namespace lumetra::test {

std::unique_ptr<OffscreenGL> GLPainterTest::gl_;

void GLPainterTest::SetUpTestSuite() {
  if (gl_) return;
  gl_ = std::make_unique<OffscreenGL>(kSize, kSize);
  loadDefaultFont();
  applyFixedGLState();
}

void GLPainterTest::TearDownTestSuite() {}

void GLPainterTest::loadDrawProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double half = kSize / 2.0;
  // Deep enough for the 3D glyphs, which reach 128 units towards the eye.
  glOrtho(-half, half, -half, half, -1000.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void GLPainterTest::SetUp() {
  glViewport(0, 0, kSize, kSize);
  glScissor(0, 0, kSize, kSize);
  loadDrawProjection();
  glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
}

Rgb GLPainterTest::pixelAt(float x, float y) {
  unsigned char p[4] = {};
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  const int px = static_cast<int>(std::floor(x + kSize / 2.0f));
  const int py = static_cast<int>(std::floor(y + kSize / 2.0f));
  glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

Rgb GLPainterTest::darkestNear(float x, float y, int r) {
  Rgb best{255, 255, 255};
  for (int dx = -r; dx <= r; ++dx)
    for (int dy = -r; dy <= r; ++dy) {
      const Rgb c = pixelAt(x + static_cast<float>(dx), y + static_cast<float>(dy));
      if (c[0] + c[1] + c[2] < best[0] + best[1] + best[2]) best = c;
    }
  return best;
}

void GLPainterTest::loadPickProjection(float x, float y) {
  GLint viewport[4] = {0, 0, kSize, kSize};
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPickMatrix(x + kSize / 2.0, y + kSize / 2.0, 4.0, 4.0, viewport);
  const double half = kSize / 2.0;
  glOrtho(-half, half, -half, half, -1000.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

std::vector<unsigned char> readFrame() {
  const int side = GLPainterTest::kSize;
  std::vector<unsigned char> rgb(static_cast<std::size_t>(side) * side * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int n = 0;
  for (std::size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++n;
  return n;
}

Rgb rgbOf(Color c) {
  auto byte = [](float v) { return static_cast<int>(std::lround(v * 255.0f)); };
  return {byte(c.r), byte(c.g), byte(c.b)};
}

Rgb over(Color c, Color background) {
  return rgbOf(Color(c.r * c.a + background.r * (1.0f - c.a), c.g * c.a + background.g * (1.0f - c.a),
                     c.b * c.a + background.b * (1.0f - c.a), 1.0f));
}

}  // namespace lumetra::test
