#include "render/PixelReadback.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/GLState.h"

namespace lumetra {

std::vector<std::uint8_t> readBackBufferRGBA(int x, int y, int width, int height) {
  const int w = std::max(width, 0), h = std::max(height, 0);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4u);
  if (pixels.empty()) return pixels;
  glFinish();
  AttribGuard pixelMode(GL_PIXEL_MODE_BIT);
  glReadBuffer(GL_BACK);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPopClientAttrib();
  return pixels;
}

}  // namespace lumetra
