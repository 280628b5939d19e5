#pragma once
// Scoped brackets for OpenGL state: whatever path leaves a scope, the state
// it changed is restored. Needs a current GL context.

#include <GL/gl.h>

namespace lumetra {

// glPushAttrib(mask) now, glPopAttrib() at scope end.
class AttribGuard {
 public:
  explicit AttribGuard(GLbitfield mask) { glPushAttrib(mask); }
  ~AttribGuard() { glPopAttrib(); }
  AttribGuard(const AttribGuard&) = delete;
  AttribGuard& operator=(const AttribGuard&) = delete;
};

// Selects the matrix stack and pushes it; at scope end selects it again and
// pops it, then leaves that stack selected.
class MatrixGuard {
 public:
  explicit MatrixGuard(GLenum mode) : mode_(mode) {
    glMatrixMode(mode_);
    glPushMatrix();
  }
  ~MatrixGuard() {
    glMatrixMode(mode_);
    glPopMatrix();
  }
  MatrixGuard(const MatrixGuard&) = delete;
  MatrixGuard& operator=(const MatrixGuard&) = delete;

 private:
  GLenum mode_;
};

// Depth function GL_LEQUAL for the scope, GL_ALWAYS (the canvas default)
// afterwards. The 3D glyph shapes draw inside one.
class DepthLessEqualScope {
 public:
  DepthLessEqualScope() { glDepthFunc(GL_LEQUAL); }
  ~DepthLessEqualScope() { glDepthFunc(GL_ALWAYS); }
  DepthLessEqualScope(const DepthLessEqualScope&) = delete;
  DepthLessEqualScope& operator=(const DepthLessEqualScope&) = delete;
};

}  // namespace lumetra
