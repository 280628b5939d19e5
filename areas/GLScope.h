#pragma once
// Scoped brackets for the GL state the area painters change: whatever path
// leaves a scope, the state is restored. Internal to the areas library.

#include <GL/gl.h>

namespace lumetra::areas_detail {

class AttribScope {
 public:
  explicit AttribScope(GLbitfield mask) { glPushAttrib(mask); }
  ~AttribScope() { glPopAttrib(); }
  AttribScope(const AttribScope&) = delete;
  AttribScope& operator=(const AttribScope&) = delete;
};

// Pushes the matrix stack and loads the identity; pops at scope end and
// leaves that stack selected.
class IdentityMatrixScope {
 public:
  explicit IdentityMatrixScope(GLenum mode) : mode_(mode) {
    glMatrixMode(mode_);
    glPushMatrix();
    glLoadIdentity();
  }
  ~IdentityMatrixScope() {
    glMatrixMode(mode_);
    glPopMatrix();
  }
  IdentityMatrixScope(const IdentityMatrixScope&) = delete;
  IdentityMatrixScope& operator=(const IdentityMatrixScope&) = delete;

 private:
  GLenum mode_;
};

}  // namespace lumetra::areas_detail
