#pragma once
// Scoped brackets for OpenGL state: whatever path leaves a scope, the state
// it changed is restored. Needs a current GL context.

#include <GL/gl.h>

#include "platform/NonCopyable.h"

namespace lumetra {

// The current projection times model-view, column-major as GL keeps them:
// clip = out * point.
inline void readClipMatrix(float out[16]) {
  float projection[16], modelView[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelView[col * 4 + k];
      out[col * 4 + row] = sum;
    }
}

// glPushAttrib(mask) now, glPopAttrib() at scope end.
class AttribGuard : NonCopyable {
 public:
  explicit AttribGuard(GLbitfield mask) { glPushAttrib(mask); }
  ~AttribGuard() { glPopAttrib(); }
};

// Selects the matrix stack and pushes it; at scope end selects it again and
// pops it, then leaves that stack selected.
class MatrixGuard : NonCopyable {
 public:
  explicit MatrixGuard(GLenum mode) : mode_(mode) {
    glMatrixMode(mode_);
    glPushMatrix();
  }
  ~MatrixGuard() {
    glMatrixMode(mode_);
    glPopMatrix();
  }

 private:
  GLenum mode_;
};

// Depth function GL_LEQUAL for the scope, GL_ALWAYS (the canvas default)
// afterwards. The 3D glyph shapes draw inside one.
class DepthLessEqualScope : NonCopyable {
 public:
  DepthLessEqualScope() { glDepthFunc(GL_LEQUAL); }
  ~DepthLessEqualScope() { glDepthFunc(GL_ALWAYS); }
};

}  // namespace lumetra
