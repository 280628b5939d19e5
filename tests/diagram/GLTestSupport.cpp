#include "tests/diagram/GLTestSupport.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/Canvas.h"
#include "tests/support/GLHarness.h"

namespace lumetra::test {

std::unique_ptr<OffscreenGL> GLPainterTest::gl_;

void GLPainterTest::SetUpTestSuite() {
  if (!gl_) gl_ = openOffscreenScene(kSize, kSize);
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
  const int px = static_cast<int>(std::floor(x + kSize / 2.0f));
  const int py = static_cast<int>(std::floor(y + kSize / 2.0f));
  const std::vector<unsigned char> p = readRGBA(px, py, 1, 1);
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

std::vector<unsigned char> readFrame() { return readRGB(0, 0, GLPainterTest::kSize, GLPainterTest::kSize); }

Rgb rgbOf(Color c) {
  auto byte = [](float v) { return static_cast<int>(std::lround(v * 255.0f)); };
  return {byte(c.r), byte(c.g), byte(c.b)};
}

Rgb over(Color c, Color background) {
  return rgbOf(Color(c.r * c.a + background.r * (1.0f - c.a), c.g * c.a + background.g * (1.0f - c.a),
                     c.b * c.a + background.b * (1.0f - c.a), 1.0f));
}

}  // namespace lumetra::test
