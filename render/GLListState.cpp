#include "render/GLListState.h"

#include <GL/gl.h>

namespace lumetra {

bool compilingOnly() {
  GLint list = 0;
  glGetIntegerv(GL_LIST_INDEX, &list);
  if (list == 0) return false;
  GLint mode = 0;
  glGetIntegerv(GL_LIST_MODE, &mode);
  return mode == GL_COMPILE;
}

bool compilingList() {
  GLint list = 0;
  glGetIntegerv(GL_LIST_INDEX, &list);
  return list != 0;
}

bool renderingPixels() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_RENDER;
}

bool glContextIsCurrent() { return glGetString(GL_VERSION) != nullptr; }

void readViewport(int out[4]) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (int i = 0; i < 4; ++i) out[i] = viewport[i];
}

int maxTextureSide() {
  GLint side = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
  return side;
}

}  // namespace lumetra
