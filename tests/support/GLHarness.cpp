#include "tests/support/GLHarness.h"

#include <GL/gl.h>

#include "render/DefaultFont.h"
#include "render/FixedGLState.h"

namespace lumetra::test {

namespace {

std::vector<unsigned char> readPixels(int x, int y, int width, int height, GLenum format, int channels) {
  std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * height * channels);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, format, GL_UNSIGNED_BYTE, bytes.data());
  return bytes;
}

}  // namespace

std::unique_ptr<OffscreenGL> openOffscreenScene(int width, int height) {
  auto gl = std::make_unique<OffscreenGL>(width, height);
  loadDefaultFont();
  applyFixedGLState();
  return gl;
}

std::vector<unsigned char> readRGB(int x, int y, int width, int height) {
  return readPixels(x, y, width, height, GL_RGB, 3);
}

std::vector<unsigned char> readRGBA(int x, int y, int width, int height) {
  return readPixels(x, y, width, height, GL_RGBA, 4);
}

int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int n = 0;
  for (std::size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++n;
  return n;
}

}  // namespace lumetra::test
