#include "render/FixedGLState.h"

#include <GL/gl.h>

namespace lumetra {

void applyFixedGLState() {
  glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
  glClearStencil(0);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
  glEnable(GL_LINE_SMOOTH);
  // The filters are the default texture's: a glyph texture still bound
  // from making the font would otherwise be set to mipmaps it does not
  // have, and every glyph drawn from it would come out as a solid box.
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glBindTexture(GL_TEXTURE_2D, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_SCISSOR_TEST);
  glDepthFunc(GL_ALWAYS);
  glDisable(GL_DEPTH_TEST);
}

}  // namespace lumetra
